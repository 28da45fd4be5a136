// The main window: a narrow dialog holding nothing but the list of hosts. It
// owns the catalogue and the options, loads them when it opens, saves them
// when it is closed, and sizes itself to its hosts within its monitor's work
// area, scrolling the rest. The list answers the keyboard (MainDlgKeyboard.cpp).
#pragma once

#include "app/CatalogueSession.h"
#include "app/DisplayScale.h"
#include "app/win32/HostListRows.h"
#include "app/ListKeyboard.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue/HostRecords.h"
#include "controls/ColourListCtrl.h"
#include "controls/IconMenu.h"
#include "launch/HostMenu.h"
#include "platform/win32/FolderWatch.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMainDlg : public win::Dialog, public qb::CatalogueWindow
{
public:
    // The catalogue is read and written through files.
    explicit CMainDlg(qb::FileStore& files);
    ~CMainDlg() override;

    // Rebuilds the rows from the catalogue (ascending display text), then
    // fits the window to them. The list keeps its scroll position; the
    // keyboard focus goes to `focus`'s row (scrolled into view), or without
    // one stays at the same row index.
    void fillHostList(const qb::HostItem* focus = nullptr);
    // Outer height n * h + 25 and list height n * h + 2 for n rows of height
    // h (both extras at 96 DPI, scaled to the window's), as far as whole rows
    // fit the work area of the window's monitor; beyond that the list scrolls
    // and both are wider by the scroll bar. Sizes stay with no rows. The
    // column ends as wide as the list beside that bar: never a horizontal one.
    void fitWindowToList();
    // Writes the catalogue file, merged with what another program saved
    // since (the list is rebuilt then); a failure, a refusal after a failed
    // read, or hosts kept in both versions are shown in a message box.
    bool save();
    // Merges another program's change of the file into the list, without
    // writing; waits while a menu, an editor or a prompt is open. True when
    // the catalogue changed (every host pointer is new then).
    bool refreshFromFile();

    qb::HostCatalogue& Catalogue() { return m_hosts; }
    qb::AppOptions& Options() { return m_options; }
    qb::CommandSlots& CommandSlots() { return m_commandSlots; }
    CColourListCtrl& HostList() { return m_hostList; }
    HIMAGELIST Images() const { return m_images; }
    // The host a list row shows, or null for a row that does not exist.
    qb::HostItem* HostAt(int row) const { return m_rows.Host(row); }
    // The row with the keyboard focus, or -1.
    int FocusedRow() const;

    // The host's command menu at `screenPoint`, and the chosen entry run
    // (MainDlgHostMenu.cpp). Opened by a key, it starts with its first item
    // selected, as keyboard menus do.
    void ShowHostMenu(qb::HostItem& host, POINT screenPoint, bool byKeyboard);
    // A right-button release at `clientPoint` in the client coordinates of
    // `receiver`, the window or one of its controls (MainDlgContextMenu.cpp).
    void OnContextMenuAt(HWND receiver, POINT clientPoint);
    // "Import hosts..." of the system menu (MainDlgImport.cpp).
    void ImportHosts();
    // The host's small context menu at `screenPoint`, and what it chose
    // (its first item selected when opened by a key).
    void ShowContextMenu(qb::HostItem& host, POINT screenPoint, bool byKeyboard = false);

    // What loading and saving need from the window.
    void moveTopLeftTo(int32_t x, int32_t y) override;
    void dropTaskbarButton() override;
    void currentTopLeft(int32_t& x, int32_t& y) override;

protected:
    BOOL OnInitDialog() override;
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

    // Marks a nested modal loop (a menu, an editor, a prompt, a message box)
    // run from this window. A close request that arrives meanwhile is carried
    // out once the outermost one has returned, so nothing an open dialog or
    // menu refers to is freed under it.
    class NestedLoop
    {
    public:
        explicit NestedLoop(CMainDlg& window);
        ~NestedLoop();
        NestedLoop(const NestedLoop&) = delete;
        NestedLoop& operator=(const NestedLoop&) = delete;

    private:
        CMainDlg& m_window;
    };

private:
    void OnHostClick();

    // The keyboard in the list (MainDlgKeyboard.cpp). True consumes the message.
    bool OnListKeyMessage(const MSG& message);
    bool OnListKeyDown(WPARAM key, DWORD time);
    void OnTypedChar(char typed, DWORD time);
    LRESULT OnMenuChar(char typed, HMENU menu);
    void FocusRow(int row);
    void ShowFocusCues();
    // A point of the row in screen coordinates: its left end, at its middle
    // or just below it.
    POINT RowPoint(int row, bool below);
    void OpenFocusedHostMenu();
    void OpenFocusedContextMenu();
    void AskAndDeleteFocused();
    // A context-menu command (MainDlgContextMenu.cpp); "Add new item" needs
    // no host, the others do nothing without one.
    void RunHostListCommand(int id, qb::HostItem* host);

    // Whether Shift is down at this moment (asynchronous key state).
    static bool ShiftHeld();
    // The log-off or shut-down goes ahead: saved at once, nothing freed.
    void OnEndSession();
    void PaintMinimisedIcon();
    // The window went to a monitor of another scale: `suggested` is where the
    // system proposes it goes, already sized for `dpi`.
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    // Shows what a save or refresh had to say, once the list holds the
    // catalogue it said it about.
    void ShowReports(const std::vector<std::string>& messages);

    qb::HostCatalogue m_hosts;
    qb::CatalogueSession m_session;
    int m_nestedLoops = 0;
    bool m_closeDeferred = false;
    bool m_closing = false;
    CColourListCtrl m_hostList;
    HostListRows m_rows;
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
    win::Brush m_backgroundBrush;
    qb::AppOptions m_options;
    // The icons at this window's scale, for its list, menus and editors.
    HIMAGELIST m_images = nullptr;
    qb::CommandSlots m_commandSlots;
    CIconMenu m_iconMenu;
    win::Icon m_hIcon;
    // A colleague's save: one refresh message queued at a time, and one
    // owed when it came while a nested loop ran.
    std::atomic<bool> m_refreshQueued{false};
    bool m_refreshDeferred = false;
    bool m_activatedBefore = false;
    // Last: stopped before anything its thread refers to is gone.
    std::unique_ptr<qb::FolderWatch> m_folderWatch;
};
