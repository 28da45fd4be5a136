// The host list and the owner-drawn menus on the keyboard: moving the focused
// row, type-ahead, the focused host's menus and list operations by key, and
// letters in the menus. The rules themselves are the core's ListKeyboard.
#include "app/HostListOps.h"
#include "app/win32/MainDlg.h"
#include "win/CommonDialogs.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

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

// The item's text as the icon menu shows it: without the image index after
// "||" and without the shortcut after a tab; empty for what cannot be chosen.
std::string shownItemText(HMENU menu, int position)
{
    const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
    if (state == UINT(-1) || (state & (MF_GRAYED | MF_DISABLED)) || ((state & MF_SEPARATOR) && !(state & MF_POPUP)))
        return {};
    const int length = GetMenuStringA(menu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(
        std::max(GetMenuStringA(menu, static_cast<UINT>(position), text.data(), length + 1, MF_BYPOSITION), 0)));
    text = text.substr(0, text.find("||"));
    return text.substr(0, text.find('\t'));
}

}  // namespace

bool CMainDlg::OnListKeyMessage(const MSG& message)
{
    switch (message.message) {
    case WM_KEYDOWN: return OnListKeyDown(message.wParam, message.time);
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
        OnTypedChar(static_cast<char>(typed), message.time);
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
    case VK_INSERT:
        ShowFocusCues();
        RunHostListCommand(qb::CmdAddItem, nullptr);
        return true;
    case VK_F2:
        ShowFocusCues();
        RunHostListCommand(qb::CmdProperties, HostAt(FocusedRow()));
        return true;
    case VK_DELETE: AskAndDeleteFocused(); return true;
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
    m_hostList.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    m_hostList.EnsureVisible(row, false);
    ShowFocusCues();
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
    NestedLoop loop(*this);
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

void CMainDlg::AskAndDeleteFocused()
{
    ShowFocusCues();
    qb::HostItem* host = HostAt(FocusedRow());
    if (!host)
        return;
    // A key is easier to press by mistake than a menu item: ask first, with
    // No as the default answer.
    int answer;
    {
        NestedLoop loop(*this);
        answer =
            win::showMessage("Delete \"" + host->title + "\"?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, m_hwnd);
    }
    if (answer == IDYES)
        RunHostListCommand(qb::CmdDelete, host);
}

LRESULT CMainDlg::OnMenuChar(char typed, HMENU menu)
{
    std::vector<std::string> labels;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        labels.push_back(shownItemText(menu, position));
    const qb::MenuCharChoice choice = qb::menuCharChoice(labels, typed, m_caseTable);
    switch (choice.kind) {
    case qb::MenuCharChoice::Execute: return MAKELRESULT(choice.position, MNC_EXECUTE);
    case qb::MenuCharChoice::Select: return MAKELRESULT(choice.position, MNC_SELECT);
    default: return MAKELRESULT(0, MNC_IGNORE);
    }
}
