#include "launch/HostMenu.h"

#include "launch/WindowsTools.h"

namespace qb {
namespace {

class IdCounter
{
public:
    IdCounter(int& nextId, CommandSlots& slots, CommandImages& images)
        : m_nextId(nextId), m_slots(slots), m_images(images)
    {}

    // Gives out the next id: fills its slot and image, returns the item. The
    // slot's kind and name say which remembered password it may use.
    HostMenuItem take(EntryKind kind, std::string text, bool bold, std::string program, std::string params,
                      bool confirm, int32_t image)
    {
        const int id = m_nextId++;
        CommandEntry& slot = m_slots[static_cast<std::size_t>(id)];
        slot.kind = kind;
        slot.name = text;
        slot.program = program;
        slot.params = params;
        slot.confirm = confirm;
        m_images[static_cast<std::size_t>(id)] = image;

        HostMenuItem item;
        item.type = MenuItemType::Command;
        item.text = std::move(text);
        item.bold = bold;
        item.id = id;
        item.image = image;
        item.program = std::move(program);
        item.params = std::move(params);
        item.confirm = confirm;
        return item;
    }

private:
    int& m_nextId;
    CommandSlots& m_slots;
    CommandImages& m_images;
};

// Splits at commas without trimming; a trailing comma ends the list.
std::vector<std::string> splitShares(const std::string& drives)
{
    std::vector<std::string> shares;
    std::string rest = drives;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        if (comma == std::string::npos) {
            shares.push_back(rest);
            rest.clear();
        } else {
            shares.push_back(rest.substr(0, comma));
            rest.erase(0, comma + 1);
        }
    }
    return shares;
}

const HostMenuItem* findIn(const std::vector<HostMenuItem>& items, int id)
{
    for (const HostMenuItem& item : items) {
        if (item.type == MenuItemType::Command && item.id == id)
            return &item;
        if (item.type == MenuItemType::Submenu) {
            if (const HostMenuItem* found = findIn(item.items, id))
                return found;
        }
    }
    return nullptr;
}

}  // namespace

void AddTemplateItems(std::vector<HostMenuItem>& submenu, int& nextId, std::string templateHost, std::string drives,
                      const AppOptions& options, CommandSlots& slots, CommandImages& images)
{
    if (nextId > kLastTemplateStartId)
        return;
    IdCounter ids(nextId, slots, images);

    submenu.push_back(ids.take(WindowsTemplate, "RDP", false, "mstsc",
                               remoteDesktopParams(templateHost, options.rdpWidth, options.rdpHeight), false,
                               kIconRemoteDesktop));

    // Keep room for the four fixed items after the shares, so that no id
    // goes above the last one the slot table serves.
    constexpr int kFixedAfterShares = 4;
    for (std::string& share : splitShares(drives)) {
        if (nextId + kFixedAfterShares > kLastCommandId)
            break;
        std::string path = "\\\\" + templateHost + "\\" + share;
        submenu.push_back(
            ids.take(WindowsTemplate, std::move(share), false, std::move(path), "", false, kIconDriveShare));
    }

    submenu.push_back(
        ids.take(WindowsTemplate, "Manage", false, "compmgmt.msc", "/computer:" + templateHost, false, kIconManage));
    submenu.push_back(
        ids.take(WindowsTemplate, "Reboot", false, "shutdown.exe", "/r /f /m \\\\" + templateHost, true, kIconReboot));
    submenu.push_back(ids.take(WindowsTemplate, "Shutdown", false, "shutdown.exe", "/s /f /m \\\\" + templateHost, true,
                               kIconShutdown));
    submenu.push_back(ids.take(WindowsTemplate, "Ping", false, "ping.exe", "-t " + templateHost, false, kIconPing));
}

HostMenu buildHostMenu(const HostItem& host, const AppOptions& options, BrowserSource& browsers, CommandSlots& slots,
                       CommandImages& images)
{
    HostMenu menu;
    IdCounter ids(menu.nextId, slots, images);
    for (EntryView entry : host.entries) {
        const bool full = menu.nextId > kLastCommandId;
        switch (entry.kind()) {
        case CustomCommand:
            if (!full)
                menu.items.push_back(ids.take(CustomCommand, std::string(entry.name()), entry.bold(),
                                              std::string(entry.program()), std::string(entry.params()),
                                              entry.confirm(), entry.icon()));
            break;
        case WindowsTemplate: {
            HostMenuItem sub;
            sub.type = MenuItemType::Submenu;
            sub.bold = true;
            sub.text = std::string(entry.templateHost());
            if (entry.icon() != 0)
                sub.labelImage = entry.icon();
            AddTemplateItems(sub.items, menu.nextId, std::string(entry.templateHost()), std::string(entry.drives()),
                             options, slots, images);
            menu.items.push_back(std::move(sub));
            break;
        }
        case Separator:
            if (!full) {
                HostMenuItem separator;
                separator.type = MenuItemType::Separator;
                menu.items.push_back(std::move(separator));
            }
            break;
        case Url:
            if (!full) {
                // Read now for each entry: a browser change shows at once.
                std::string program =
                    entry.alternateBrowser() ? options.alternateBrowserPath : GetDefaultBrowser(browsers);
                menu.items.push_back(ids.take(Url, std::string(entry.urlName()), false, std::move(program),
                                              std::string(entry.url()), false, entry.icon()));
            }
            break;
        default: break;
        }
    }
    return menu;
}

const HostMenuItem* findCommand(const HostMenu& menu, int id)
{
    return findIn(menu.items, id);
}

}  // namespace qb
