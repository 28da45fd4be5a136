// The main window: a narrow dialog holding nothing but the list of hosts,
// sized to its hosts within its monitor's work area, the rest scrolling. What
// it decides without a window is its session's (app/MainSession.h); the
// window turns messages into calls on it and shows what it says.
//   MainDlg.cpp        the window's life and messages
//   MainDlgList.cpp    the list's rows, sizes and keys, and a click on a host
//   MainDlgMenus.cpp   the host's menu, the context menu and the editors
//   MainDlgImport.cpp  "Import hosts..." of the system menu
//   MainDlgFind.cpp    the find field and the hotkey that summons it
#pragma once

#include "screen/DisplayScale.h"
#include "app/ListKeyboard.h"
#include "app/MainSession.h"
#include "app/win32/WindowsServices.h"
#include "controls/ColourListCtrl.h"
#include "controls/IconMenu.h"
#include "platform/win32/FolderWatch.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <atomic>
#include <memory>
#include <string>

class CMainDlg : public win::Dialog, public qb::MainView, private ListRowSource
{
public:
    explicit CMainDlg(WindowsServices& services);
    ~CMainDlg() override;

    qb::MainSession& Session() { return m_session; }
    CColourListCtrl& HostList() { return m_hostList; }
    // The host a list row shows, or null for a row that does not exist.
    qb::HostItem* HostAt(int row) const { return m_session.rows().host(row); }
    // The row with the keyboard focus, or -1.
    int FocusedRow() const;

    // MainView: the session's rows shown (ascending display text), the list
    // keeping its scroll position, and the window fitted to them.
    void showRows(int focusRow) override;
    void postClose() override;
    void postRefresh() override;
    int pressedRow() const override;
    void selectRow(int row) override;
    bool runHostEditor(qb::HostItem& working, int32_t rdpWidth, int32_t rdpHeight) override;
    bool runOptionsDialog(qb::OptionsForm& form) override;
    bool registerHotkey(uint32_t value) override;
    std::string keyName(uint32_t value) override;
    void moveTopLeftTo(int32_t x, int32_t y) override;
    void dropTaskbarButton() override;
    void currentTopLeft(int32_t& x, int32_t& y) override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnPaint() override;
    bool OnClose() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;
    bool OnDrawItem(int id, DRAWITEMSTRUCT& item) override;
    bool OnMeasureItem(int id, MEASUREITEMSTRUCT& item) override;
    bool OnInitMenuPopup(HMENU menu, UINT index, bool systemMenu) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateMessage(MSG& message) override;
    // Neither ends the program: the dialog manager gives them for keys
    // (Enter, Escape, Ctrl+Break), and only a close request saves.
    void OnOK() override;
    void OnCancel() override;

private:
    // ListRowSource: the session's rows, read as the list draws them.
    ListRow Row(int row) const override;

    // Outer height n * h + 25 and list height n * h + 2 for n rows of
    // height h (both extras at 96 DPI, scaled to the window's), as far as
    // whole rows fit the work area of the window's monitor; beyond that the
    // list scrolls and both are wider by the scroll bar. Sizes stay with no
    // rows. The column ends as wide as the list beside that bar: never a
    // horizontal one.
    void FitWindowToList();
    // The height of a row of the list as it would measure it itself.
    UINT ListRowHeight() const;
    // The window went to a monitor of another scale: `suggested` is where the
    // system proposes it goes, already sized for `dpi`.
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void PaintMinimisedIcon();
    // The window, the list and the rows without a colour of their own are
    // in the 3D-face colour, as the system has it now.
    void ApplyFaceColour();

    // A click on a host: its menu at the pointer (MainDlgList.cpp).
    void OnHostClick();
    // The keyboard in the list (MainDlgList.cpp). True consumes the message.
    bool OnListKeyMessage(const MSG& message);
    bool OnListKeyDown(WPARAM key, DWORD time);
    void OnTypedChar(char typed, DWORD time);
    void FocusRow(int row);
    void FocusState(int row);
    void ShowFocusCues();
    // A point of the row in screen coordinates: its left end, at its middle
    // or just below it.
    POINT RowPoint(int row, bool below);
    void OpenFocusedHostMenu();
    void OpenFocusedContextMenu();

    // The menus (MainDlgMenus.cpp). Opened by a key, a menu starts with its
    // first item selected, as keyboard menus do.
    void ShowHostMenu(qb::HostItem& host, POINT screenPoint, bool byKeyboard);
    // A right-button release at `clientPoint` in the client coordinates of
    // `receiver`, the window or one of its controls.
    void OnContextMenuAt(HWND receiver, POINT clientPoint);
    void ShowContextMenu(qb::HostItem& host, POINT screenPoint, bool byKeyboard = false);
    LRESULT OnMenuChar(char typed, HMENU menu);
    // "Import hosts..." of the system menu (MainDlgImport.cpp).
    void ImportHosts();

    // The find field (MainDlgFind.cpp): opened above the list, emptied when
    // `empty`, with the keyboard; closed, every row comes back.
    void SetUpFindField();
    void OpenFind(bool empty);
    void CloseFind();
    // Its height while open; 0 when closed.
    int FindFieldHeight() const { return m_findOpen ? m_findHeight : 0; }
    // The keys of the field that act on the list. True consumes the message.
    bool OnFindKeyMessage(const MSG& message);
    // The hotkey was pressed in some program.
    void Summon();

    WindowsServices& m_platform;
    qb::MainSession m_session;
    CColourListCtrl m_hostList;
    // The DPI every size of the window is for: its monitor's.
    UINT m_dpi = qb::kBaseDpi;
    // The template's widths at m_dpi: the window never grows step by step.
    int m_templateWidth = 0;
    int m_templateListWidth = 0;
    // The list's own frame, outside its rows.
    int m_listFrameWidth = 0;
    // The list's font once the window has changed scale; before, the
    // dialog's.
    win::Font m_listFont;
    qb::CaseTable m_caseTable;
    qb::TypeAhead m_typeAhead;
    // A right click the list answered with NM_RCLICK: its release, should it
    // still come, does nothing more.
    bool m_rightClickTaken = false;
    DWORD m_keyDownTime = 0;  // of the key whose character comes next
    win::Brush m_backgroundBrush;
    // The icons at this window's scale, for its list, menus and editors.
    HIMAGELIST m_images = nullptr;
    CIconMenu m_iconMenu;
    win::Icon m_hIcon;
    win::Window m_findField;
    int m_findHeight = 0;  // at m_dpi
    bool m_findOpen = false;
    // The hotkey control's value registered for the window; 0: none.
    uint32_t m_hotkey = 0;
    // The catalogue as the file system showed it just before the start
    // read it; compared when the folder watch starts.
    qb::FileStamp m_stampBeforeStart;
    // A colleague's save, told from the folder watch's thread: one refresh
    // message queued at a time.
    std::atomic<bool> m_refreshQueued{false};
    // Last: stopped before anything its thread refers to is gone.
    std::unique_ptr<qb::FolderWatch> m_folderWatch;
};
