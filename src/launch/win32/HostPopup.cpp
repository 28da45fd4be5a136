#include "launch/win32/HostPopup.h"

#include <algorithm>

namespace {

void appendItems(win::PopupMenu& popup, const std::vector<qb::HostMenuItem>& items, std::map<HMENU, int>& labelImages)
{
    for (const qb::HostMenuItem& item : items) {
        switch (item.type) {
        case qb::MenuItemType::Command: popup.AppendString(UINT(item.id), item.text, item.bold ? MF_CHECKED : 0); break;
        case qb::MenuItemType::Separator: popup.AppendSeparator(); break;
        case qb::MenuItemType::Submenu: {
            win::PopupMenu sub;
            appendItems(sub, item.items, labelImages);
            const HMENU handle = sub.get();
            if (popup.AppendPopup(std::move(sub), item.text, item.bold ? MF_CHECKED : 0) && item.labelImage)
                labelImages.emplace(handle, *item.labelImage);
            break;
        }
        }
    }
}

}  // namespace

HostPopup createHostPopup(const qb::HostMenu& menu)
{
    HostPopup popup;
    appendItems(popup.menu, menu.items, popup.labelImages);
    return popup;
}

std::map<UINT, int> commandImageMap(const qb::HostMenu& menu, const qb::CommandImages& images)
{
    std::map<UINT, int> byId;
    const int end = std::min<int>(menu.nextId, int(images.size()));
    for (int id = qb::kFirstCommandId; id < end; ++id)
        byId.emplace(UINT(id), images[size_t(id)]);
    return byId;
}
