// The main window's menus and the dialogs they open: a host's command menu
// (owner-drawn, letters picking items), the host's small context menu or,
// away from every row, the host editor for a new host, and the Options
// dialog. What the items do is the session's.
#include "app/win32/MainDlg.h"

#include "catalogue/TextRules.h"
#include "editors/win32/EditItemDlg.h"
#include "editors/win32/OptionsDlg.h"
#include "launch/win32/HostPopup.h"
#include "win/Menu.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The item's text as the icon menu shows it: cut at "||" and without the
// shortcut after a tab; empty for what cannot be chosen.
std::string shownItemText(HMENU menu, int position)
{
    const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
    if (state == UINT(-1) || (state & (MF_GRAYED | MF_DISABLED)) || ((state & MF_SEPARATOR) && !(state & MF_POPUP)))
        return {};
    const int length = GetMenuStringA(menu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(
        std::max(GetMenuStringA(menu, static_cast<UINT>(position), text.data(), length + 1, MF_BYPOSITION), 0)));
    const std::string_view shown = qb::splitBarText(text).shown;
    return std::string(shown.substr(0, shown.find('\t')));
}

}  // namespace

void CMainDlg::ShowHostMenu(qb::HostItem& host, POINT screenPoint, bool byKeyboard)
{
    qb::CommandImages images{};
    const qb::HostMenu menu = m_session.hostMenu(host, images);
    // Destroyed with its sub-menus when this returns.
    HostPopup popup = createHostPopup(menu);
    m_iconMenu.SetImages(m_images, commandImageMap(menu, images), std::move(popup.labelImages));
    // A host without entries has nothing to pick; tracking an empty menu
    // would only stir focus and keyboard state for nothing.
    if (popup.menu.GetItemCount() == 0)
        return;
    // The menu loop reads this key first: a menu opened by a key starts on
    // its first item, which tracking alone does not select.
    if (byKeyboard)
        PostMessageA(m_hwnd, WM_KEYDOWN, VK_DOWN, 0);
    // The main window owns the menu, so its owner-draw handlers hand the
    // items to the icon menu.
    const UINT picked =
        UINT(TrackPopupMenu(popup.menu, kHostMenuTrackFlags, screenPoint.x, screenPoint.y, 0, m_hwnd, nullptr));
    // Ctrl held at the pick asks for a remembered password again.
    m_session.launch(static_cast<int>(picked), host, (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0);
}

LRESULT CMainDlg::OnMenuChar(char typed, HMENU menu)
{
    std::vector<std::string> labels;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        labels.push_back(shownItemText(menu, position));
    const qb::MenuCharChoice choice = qb::menuCharChoice(labels, typed, m_caseTable);
    switch (choice.kind) {
    case qb::MenuCharChoice::Kind::Execute: return MAKELRESULT(choice.position, MNC_EXECUTE);
    case qb::MenuCharChoice::Kind::Select: return MAKELRESULT(choice.position, MNC_SELECT);
    default: return MAKELRESULT(0, MNC_IGNORE);
    }
}

void CMainDlg::OnContextMenuAt(HWND receiver, POINT clientPoint)
{
    POINT listPoint = clientPoint;
    ::MapWindowPoints(receiver, m_hostList, &listPoint, 1);
    LVHITTESTINFO hit{};
    hit.pt = listPoint;
    qb::HostItem* host = HostAt(m_hostList.SubItemHitTest(hit));
    if (!host) {
        m_session.runListCommand(qb::CmdAddItem, nullptr);
        return;
    }
    POINT screenPoint = clientPoint;
    ::ClientToScreen(receiver, &screenPoint);
    ShowContextMenu(*host, screenPoint);
}

void CMainDlg::ShowContextMenu(qb::HostItem& host, POINT screenPoint, bool byKeyboard)
{
    // The menu refers to the host until its command has run.
    qb::MainSession::NestedLoop loop(m_session);
    win::PopupMenu menu;
    if (!menu)
        return;
    for (const qb::ContextMenuItem& item : m_session.contextMenu(host)) {
        if (item.id == 0)
            menu.AppendSeparator();
        else
            menu.AppendString(static_cast<UINT>(item.id), item.text);
    }
    if (byKeyboard)
        PostMessageA(m_hwnd, WM_KEYDOWN, VK_DOWN, 0);
    // No notifications: the icon menu must never take this plain menu over.
    const UINT id = menu.Track(m_hwnd, screenPoint, TPM_NONOTIFY | TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON);
    menu = win::PopupMenu(nullptr);
    m_session.runListCommand(static_cast<int>(id), &host);
}

bool CMainDlg::runHostEditor(qb::HostItem& working, int32_t rdpWidth, int32_t rdpHeight)
{
    CEditItemDlg editor(m_session.services().links);
    editor.m_imageList = m_images;
    editor.m_host = &working;
    editor.m_rdpWidth = rdpWidth;
    editor.m_rdpHeight = rdpHeight;
    return editor.DoModal() == IDOK;
}

bool CMainDlg::runOptionsDialog(qb::OptionsForm& form)
{
    COptionsDlg options(nullptr);
    options.m_form = form;
    options.m_takeHotkey = [this](uint32_t hotkey) { return m_session.takeHotkey(hotkey); };
    if (options.DoModal() != IDOK)
        return false;
    form = options.m_form;
    return true;
}
