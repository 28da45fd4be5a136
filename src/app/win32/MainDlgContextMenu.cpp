// The host list's right-click: a host's small context menu, or straight to
// the host editor for a new host away from every row. The catalogue changes
// themselves are the core's HostListOps; this file supplies the dialogs, the
// list and the file to them.
#include "app/HostListOps.h"
#include "app/win32/MainDlg.h"
#include "controls/IconStrip.h"
#include "editors/win32/EditItemDlg.h"
#include "editors/win32/OptionsDlg.h"
#include "win/Menu.h"

namespace {

class MainDlgHostListUi : public qb::HostListUi
{
public:
    explicit MainDlgHostListUi(CMainDlg& window) : m_window(window) {}

    bool runHostEditor(qb::HostItem& working, int32_t rdpWidth, int32_t rdpHeight) override
    {
        CEditItemDlg editor(nullptr);
        editor.m_imageList = m_window.Images();
        editor.m_host = &working;
        editor.m_rdpWidth = rdpWidth;
        editor.m_rdpHeight = rdpHeight;
        return editor.DoModal() == IDOK;
    }

    bool runOptionsDialog(qb::OptionsForm& form) override
    {
        COptionsDlg options(nullptr);
        options.m_form = form;
        if (options.DoModal() != IDOK)
            return false;
        form = options.m_form;
        return true;
    }

    void fillHostList(const qb::HostItem* focus) override { m_window.fillHostList(focus); }
    void saveCatalogue() override { m_window.save(); }

private:
    CMainDlg& m_window;
};

}  // namespace

void CMainDlg::OnContextMenuAt(HWND receiver, POINT clientPoint)
{
    CColourListCtrl& list = HostList();
    POINT listPoint = clientPoint;
    ::MapWindowPoints(receiver, list, &listPoint, 1);
    LVHITTESTINFO hit{};
    hit.pt = listPoint;
    qb::HostItem* host = HostAt(list.SubItemHitTest(hit));
    if (!host) {
        RunHostListCommand(qb::CmdAddItem, nullptr);
        return;
    }
    POINT screenPoint = clientPoint;
    ::ClientToScreen(receiver, &screenPoint);
    ShowContextMenu(*host, screenPoint);
}

void CMainDlg::ShowContextMenu(qb::HostItem& host, POINT screenPoint, bool byKeyboard)
{
    // The menu, the editors and the Options dialog refer to catalogue hosts
    // until they return.
    NestedLoop loop(*this);
    win::PopupMenu menu;
    if (!menu)
        return;
    for (const qb::ContextMenuItem& item : qb::hostContextMenu(host.title)) {
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
    RunHostListCommand(static_cast<int>(id), &host);
}

void CMainDlg::RunHostListCommand(int id, qb::HostItem* host)
{
    NestedLoop loop(*this);
    MainDlgHostListUi ui(*this);
    qb::HostListOps ops(Catalogue(), Options(), ui);
    if (id == qb::CmdAddItem)
        ops.addHost();
    else if (host)
        ops.runCommand(id, *host);
}
