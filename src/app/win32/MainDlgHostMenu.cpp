#include "app/win32/MainDlg.h"

#include "controls/IconStrip.h"
#include "launch/Browser.h"
#include "launch/HostMenu.h"
#include "launch/RunCommand.h"
#include "launch/win32/HostPopup.h"
#include "launch/win32/LaunchServices.h"
#include "platform/win32/Shell.h"

void CMainDlg::ShowHostMenu(qb::HostItem& host, POINT screenPoint, bool byKeyboard)
{
    // The registry is read afresh for every URL entry and at launch, so a
    // change of the default browser shows at the next click.
    std::unique_ptr<qb::BrowserSource> browsers = qb::makeSystemBrowserSource();
    qb::CommandImages images{};
    const qb::HostMenu menu = qb::buildHostMenu(host, m_options, *browsers, m_commandSlots, images);
    m_iconMenu.SetImages(m_images, commandImageMap(menu, images));

    // Destroyed with its sub-menus when this returns.
    win::PopupMenu popup = createHostPopup(menu);
    // A host without entries has nothing to pick; tracking an empty menu
    // would only stir focus and keyboard state for nothing.
    if (popup.GetItemCount() == 0)
        return;
    // The menu loop reads this key first: a menu opened by a key starts on
    // its first item, which tracking alone does not select.
    if (byKeyboard)
        PostMessageA(GetSafeHwnd(), WM_KEYDOWN, VK_DOWN, 0);
    // The main window owns the menu, so its owner-draw handlers hand the
    // items to the icon menu.
    const UINT picked =
        UINT(TrackPopupMenu(popup, kHostMenuTrackFlags, screenPoint.x, screenPoint.y, 0, GetSafeHwnd(), nullptr));
    if (picked == 0 || picked >= m_commandSlots.size())
        return;

    DialogLaunchPrompts prompts(GetSafeHwnd());
    qb::SystemShell shell(GetSafeHwnd());
    qb::RunCommand(m_commandSlots[picked], host, prompts, shell, *browsers);
}
