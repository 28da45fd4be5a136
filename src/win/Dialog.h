// Modal dialogs from a template. The caller sets public members, calls
// DoModal, and reads them back after 1 (OK). The dialog's procedure stores
// `this` from WM_INITDIALOG and sends every message through one virtual entry,
// from which the handlers fan out. Our own modal loop (instead of
// DialogBoxParam's) lets PreTranslateMessage see the messages of the dialog
// and of its controls before they are dispatched.
#pragma once

#include "win/Handles.h"
#include "win/Window.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <exception>
#include <string>

namespace win {

// One direction of the value exchange between a dialog's controls and its
// members; DoDataExchange calls one function per control.
class DataExchange
{
public:
    DataExchange(HWND dialog, bool saving) noexcept : m_dialog(dialog), m_saving(saving) {}

    // True: controls -> members (OK); false: members -> controls (start).
    bool Saving() const noexcept { return m_saving; }

    // The text of control `id` (edit, static, ...).
    void Text(int id, std::string& value) const;
    // A check box: checked <-> true. An indeterminate box reads as false.
    void Check(int id, bool& value) const;
    // A hotkey control's value: the virtual key in the low byte, its
    // HOTKEYF_* flags in the next.
    void Hotkey(int id, uint32_t& value) const;

private:
    HWND m_dialog;
    bool m_saving;
};

class Dialog : public Window
{
public:
    // `parent` null: at DoModal the thread's active window becomes the owner
    // (none for the first window of the program). `captionIcon` non-zero:
    // that icon resource shows, at the small icon size, in the caption.
    explicit Dialog(UINT templateId, HWND parent = nullptr, int captionIcon = 0);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the dialog, disables its owner, runs the modal loop until
    // EndDialog, re-enables the owner and destroys the dialog. Returns the
    // EndDialog value: 1 (IDOK), 2 (IDCANCEL), or -1 when the dialog could
    // not be created. An exception thrown by a handler ends the dialog and is
    // rethrown here, after the window is gone.
    INT_PTR DoModal();

    // Ends the modal loop with `result` (the window is destroyed by DoModal).
    void EndDialog(INT_PTR result);

    // Data exchange: `save` true reads the controls into the members.
    bool UpdateData(bool save = true);

    // Centres the dialog on the work area of the monitor it is (mostly) on;
    // one larger than the area keeps its caption and close box on it.
    void CentreOnWorkArea();

    // Says in a message box why the text of control `id` is not accepted,
    // then gives that control the focus with its text selected, so that it
    // can be corrected at once.
    void RefuseControlText(int id, const std::string& message);

    // Helpers on controls by id.
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text) const;
    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, bool checked) const;

protected:
    // The template's controls exist. The base runs the data exchange into
    // the controls, shows the caption icon and returns TRUE (focus to the first tab stop). When the
    // dialog is neither moved nor resized-and-moved here (no move request and
    // the same position afterwards) it is then centred on the work area.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    // Base: data exchange out of the controls, then EndDialog(IDOK).
    virtual void OnOK();
    // Base: EndDialog(IDCANCEL). Escape, the close box and a Cancel button
    // all arrive here.
    virtual void OnCancel();

    // WM_COMMAND that no control wrapper took; true when handled. IDOK and
    // IDCANCEL reach OnOK / OnCancel when this returns false.
    virtual bool OnCommand(int id, int code, HWND control);
    // WM_NOTIFY that no control wrapper took; true when handled, `result`
    // being the notification's answer.
    virtual bool OnNotify(NMHDR& header, LRESULT& result);

    // WM_PAINT; false leaves it to the default (which validates).
    virtual bool OnPaint();
    // WM_CLOSE; false lets the dialog manager turn it into IDCANCEL.
    virtual bool OnClose();
    // WM_CTLCOLOR* after the control's own OnReflect declined; a brush
    // answers it, null leaves the default colours.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);
    // WM_DRAWITEM / WM_MEASUREITEM: for menus (CtlType ODT_MENU) directly,
    // for controls after the control's wrapper declined. True when handled.
    virtual bool OnDrawItem(int id, DRAWITEMSTRUCT& item);
    virtual bool OnMeasureItem(int id, MEASUREITEMSTRUCT& item);
    // WM_INITMENUPOPUP for a popup owned by this dialog; true when handled.
    virtual bool OnInitMenuPopup(HMENU menu, UINT index, bool systemMenu);

    // First look at every message after WM_INITDIALOG; true when handled
    // with `result` as its answer, false runs the handlers above.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Messages for this dialog or any of its descendants, after the control
    // wrappers between the target and the dialog declined them and before the
    // dialog manager (IsDialogMessage) and dispatch. True consumes it.
    virtual bool PreTranslateMessage(MSG& message);

private:
    static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInit();
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool PreTranslateTree(MSG& message);
    void RunModalLoop();

    UINT m_templateId;
    HWND m_parent;
    int m_captionIconId;
    HWND m_owner = nullptr;
    INT_PTR m_result = -1;
    bool m_ended = false;
    bool m_initialising = false;
    bool m_movedDuringInit = false;
    std::exception_ptr m_failure;
    Icon m_captionIcon;
};

}  // namespace win
