// The host list: the session's rows shown, the window sized to them, a click
// on a host, and the keyboard (moving the focused row, type-ahead, a host's
// menus and the list operations by key). The rules are the core's
// (HostRows, WindowPlacement, ListKeyboard).
#include "app/win32/MainDlg.h"

#include "screen/WindowPlacement.h"
#include "res/resource.h"
#include "win/Dpi.h"

#include <algorithm>
#include <optional>

namespace {

int height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

bool held(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

std::optional<qb::ListKey> navigationKey(WPARAM key)
{
    switch (key) {
    case VK_UP: return qb::ListKey::Up;
    case VK_DOWN: return qb::ListKey::Down;
    case VK_HOME: return qb::ListKey::Home;
    case VK_END: return qb::ListKey::End;
    case VK_PRIOR: return qb::ListKey::PageUp;
    case VK_NEXT: return qb::ListKey::PageDown;
    default: return std::nullopt;
    }
}

}  // namespace

ListRow CMainDlg::Row(int row) const
{
    if (!HostAt(row))
        return {};
    const qb::HostRow shown = m_session.rows().row(row);
    ListRow out{shown.title, std::nullopt, shown.icon};
    if (shown.colour)
        out.colour = static_cast<COLORREF>(*shown.colour);
    return out;
}

void CMainDlg::showRows(int focusRow)
{
    const int keptTop = m_hostList.GetTopIndex();
    const int keptFocus = FocusedRow();
    // The list keeps no rows of its own (owner data): it asks the session's
    // rows for those it shows. No selection or focus of the old rows stays on
    // the new ones, but the list is not emptied for it: emptying and the new
    // count would each update the scroll bars, dearer than a keystroke's
    // filter. The focused row first: clearing every row's selection is cheap
    // only once none is left.
    if (keptFocus >= 0)
        m_hostList.SetItemState(keptFocus, 0, LVIS_FOCUSED | LVIS_SELECTED);
    m_hostList.SetItemState(-1, 0, LVIS_SELECTED);
    // A further letter often finds as many rows: no count to set again.
    const int count = m_session.rows().count();
    if (m_hostList.GetItemCount() != count)
        m_hostList.SetItemCount(count);
    FitWindowToList();
    if (count > 0) {
        RECT first = {};
        m_hostList.GetItemRect(0, first, LVIR_BOUNDS);
        // Relative: a smaller count may have moved the top. Rows found anew
        // have no place to keep, and a scroll paints at once.
        const int scroll = m_findOpen ? 0 : keptTop - m_hostList.GetTopIndex();
        if (scroll != 0)
            m_hostList.Scroll(0, scroll * height(first));
        const int row = focusRow >= 0 ? focusRow : std::min(std::max(keptFocus, 0), count - 1);
        FocusState(row);
        if (focusRow >= 0)
            m_hostList.EnsureVisible(row, false);
    }
    m_hostList.Invalidate(true);
}

void CMainDlg::FitWindowToList()
{
    // Every row, found or not: finding never resizes the window.
    const int rows = m_session.rows().allCount();
    const int field = FindFieldHeight();
    RECT list = m_hostList.GetRectInParent();
    if (rows > 0) {
        RECT first = {};
        const bool shown = m_hostList.GetItemCount() > 0 && m_hostList.GetItemRect(0, first, LVIR_BOUNDS);
        const int rowHeight = shown ? height(first) : static_cast<int>(ListRowHeight());

        const RECT window = GetWindowRect();
        const RECT work = win::workAreaOf(m_hwnd);
        const qb::ListFit fit = qb::fitRowsToWorkArea(
            rows, rowHeight, window.top, {work.left, work.top, work.right, work.bottom}, int(m_dpi), field);
        const int scrollBar = fit.scrolls ? win::metricForDpi(SM_CXVSCROLL, m_dpi) : 0;
        const int listWidth = m_templateListWidth + scrollBar;
        // Each keystroke of a find comes here: nothing moves that is in place.
        const bool fitted = window.right - window.left == m_templateWidth + scrollBar &&
                            height(window) == fit.outerHeight && window.top == fit.top && list.top == field &&
                            list.right - list.left == listWidth && height(list) == fit.listHeight;
        if (!fitted) {
            // No column while the list is resized: rows that outgrew it before
            // it grows bring a vertical scroll bar, which narrows it below the
            // column, and the horizontal bar that follows would take a row's
            // room from the new height and keep both bars for good.
            m_hostList.SetColumnWidth(0, 0);
            // Moved only when it must: a move during initialisation would keep
            // the window from being centred.
            const UINT move = fit.top == window.top ? SWP_NOMOVE : 0;
            SetWindowPos(m_hwnd, nullptr, window.left, fit.top, m_templateWidth + scrollBar, fit.outerHeight,
                         move | SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowPos(m_hostList, nullptr, 0, field, listWidth, fit.listHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    } else if (list.top != field) {
        // No rows to fit: the window keeps its size, the list goes under the field.
        SetWindowPos(m_hostList, nullptr, 0, field, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (field > 0) {
        list = m_hostList.GetRectInParent();
        SetWindowPos(m_findField, nullptr, 0, 0, list.right - list.left, field, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // As wide as the list beside its scroll bar: a long title ends in an
    // ellipsis at the window's edge.
    if (m_hostList.GetColumnWidth(0) != m_templateListWidth - m_listFrameWidth)
        m_hostList.SetColumnWidth(0, m_templateListWidth - m_listFrameWidth);
}

// As tall as the taller of the list's text and its icons, and a pixel more,
// as the list measures it by itself. Answered all the same: a list that has
// measured its rows once may keep that height through a change of font or
// icons, and asks its parent again only when it is resized.
UINT CMainDlg::ListRowHeight() const
{
    // By its id: the list asks before it is attached.
    const HWND list = ::GetDlgItem(m_hwnd, IDC_HOST_LIST);
    TEXTMETRICW metrics{};
    {
        const win::WindowDC dc(list);
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
        const win::SelectGuard selected(dc, font ? font : GetStockObject(SYSTEM_FONT));
        GetTextMetricsW(dc, &metrics);
    }
    int iconWidth = 0;
    int iconHeight = 0;
    if (const HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL))
        ImageList_GetIconSize(images, &iconWidth, &iconHeight);
    return UINT(std::max<int>(metrics.tmHeight, iconHeight) + 1);
}

int CMainDlg::FocusedRow() const
{
    return m_hostList.GetNextItem(-1, LVNI_FOCUSED);
}

bool CMainDlg::OnNotify(NMHDR& header, LRESULT& result)
{
    if (header.idFrom == IDC_HOST_LIST && header.code == NM_CLICK) {
        OnHostClick();
        result = 0;
        return true;
    }
    if (header.idFrom == IDC_HOST_LIST && header.code == NM_RCLICK) {
        // The list tracks the right button itself and swallows its release,
        // so a right click on the list arrives here instead.
        m_rightClickTaken = true;
        OnContextMenuAt(m_hostList, reinterpret_cast<NMITEMACTIVATE&>(header).ptAction);
        result = TRUE;
        return true;
    }
    return false;
}

void CMainDlg::OnHostClick()
{
    const int row = m_hostList.GetFirstSelected();
    if (row < 0) {
        return;
    }
    qb::HostItem* host = m_session.hostToOpen(row);
    qb::MainSession::NestedLoop loop(m_session);
    if (host) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ShowHostMenu(*host, cursor, false);
    }
    // Shift held once the menu is done (the key's state at this moment):
    // leave at once, unsaved.
    if ((GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0) {
        EndDialog(IDOK);
    }
    // The list never keeps a selection between clicks; a refresh may have
    // moved it to the host's new row.
    m_hostList.SetItemState(-1, 0, LVIS_SELECTED);
}

int CMainDlg::pressedRow() const
{
    return m_hostList.GetFirstSelected();
}

void CMainDlg::selectRow(int row)
{
    if (row >= 0)
        m_hostList.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

bool CMainDlg::OnListKeyMessage(const MSG& message)
{
    switch (message.message) {
    case WM_KEYDOWN:
        // A character's own time is when it was translated, late when the
        // program is busy; the key's is when it was typed. The search's pause
        // is the user's, so every typed key goes by its key-down.
        m_keyDownTime = message.time;
        return OnListKeyDown(message.wParam, message.time);
    case WM_SYSKEYDOWN:
        // Alt+Enter does what F2 does; F10 comes as a system key, Shift or not.
        if (message.wParam == VK_RETURN || message.wParam == VK_F10)
            return OnListKeyDown(message.wParam == VK_RETURN ? VK_F2 : VK_F10, message.time);
        return false;
    case WM_CHAR: {
        // The list's own search would select rows; ours moves the focus.
        const auto typed = static_cast<unsigned char>(message.wParam);
        if (typed < ' ' || typed == 0x7F)
            return false;
        OnTypedChar(static_cast<char>(typed), m_keyDownTime);
        return true;
    }
    default: return false;
    }
}

bool CMainDlg::OnListKeyDown(WPARAM key, DWORD time)
{
    if (const std::optional<qb::ListKey> move = navigationKey(key)) {
        const int row = qb::movedFocus(*move, FocusedRow(), m_hostList.GetItemCount(), m_hostList.GetTopIndex(),
                                       m_hostList.GetCountPerPage());
        if (row >= 0)
            FocusRow(row);
        return true;
    }
    switch (key) {
    case VK_SPACE:
        // Titles have blanks: within a search a blank is part of it.
        if (m_typeAhead.searching(time)) {
            OnTypedChar(' ', time);
            return true;
        }
        OpenFocusedHostMenu();
        return true;
    case VK_RETURN: OpenFocusedHostMenu(); return true;
    case VK_F10:
        if (!held(VK_SHIFT))
            return false;
        OpenFocusedContextMenu();
        return true;
    case VK_APPS: OpenFocusedContextMenu(); return true;
    case 'F':
        if (!held(VK_CONTROL) || held(VK_MENU))
            return false;
        OpenFind(false);
        return true;
    case VK_F3: OpenFind(false); return true;
    case VK_INSERT:
        ShowFocusCues();
        m_session.runListCommand(qb::CmdAddItem, nullptr);
        return true;
    case VK_F2:
        ShowFocusCues();
        m_session.runListCommand(qb::CmdProperties, HostAt(FocusedRow()));
        return true;
    case VK_DELETE:
        ShowFocusCues();
        if (qb::HostItem* host = HostAt(FocusedRow()))
            m_session.askAndDelete(*host);
        return true;
    default: return false;
    }
}

void CMainDlg::OnTypedChar(char typed, DWORD time)
{
    const int row =
        m_typeAhead.type(typed, time, FocusedRow(), m_hostList.GetItemCount(), [this](int at) -> std::string_view {
            const qb::HostItem* host = HostAt(at);
            return host ? std::string_view(host->title) : std::string_view();
        });
    if (row >= 0)
        FocusRow(row);
    else
        ShowFocusCues();
}

void CMainDlg::FocusRow(int row)
{
    FocusState(row);
    m_hostList.EnsureVisible(row, false);
    ShowFocusCues();
}

void CMainDlg::FocusState(int row)
{
    // While finding, the keyboard stays in the field: the host the keys act
    // on shows selected.
    const UINT state = m_findOpen ? LVIS_FOCUSED | LVIS_SELECTED : LVIS_FOCUSED;
    m_hostList.SetItemState(row, state, state);
}

void CMainDlg::ShowFocusCues()
{
    if ((Send(WM_QUERYUISTATE) & UISF_HIDEFOCUS) == 0)
        return;
    Send(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
    m_hostList.RepaintFocusAndSelection();
}

POINT CMainDlg::RowPoint(int row, bool below)
{
    m_hostList.EnsureVisible(row, false);
    RECT bounds = {};
    RECT label = {};
    m_hostList.GetItemRect(row, bounds, LVIR_BOUNDS);
    m_hostList.GetItemRect(row, label, LVIR_LABEL);
    POINT point = {label.left, below ? bounds.bottom : (bounds.top + bounds.bottom) / 2};
    ClientToScreen(m_hostList, &point);
    return point;
}

void CMainDlg::OpenFocusedHostMenu()
{
    ShowFocusCues();
    const int row = FocusedRow();
    qb::HostItem* host = HostAt(row);
    if (!host)
        return;
    qb::MainSession::NestedLoop loop(m_session);
    // Below the row, so that the row stays in sight; a keyboard menu never
    // ends the program, Shift or not.
    ShowHostMenu(*host, RowPoint(row, true), true);
}

void CMainDlg::OpenFocusedContextMenu()
{
    ShowFocusCues();
    const int row = FocusedRow();
    if (qb::HostItem* host = HostAt(row))
        ShowContextMenu(*host, RowPoint(row, false), true);
}
