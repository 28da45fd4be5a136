// A host's popup menu as data: the item tree in menu order, with the command
// ids given out, the slots those ids run and the icon each id shows. The
// Windows front turns the tree into a real popup; nothing here draws.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/HostRecords.h"
#include "launch/Browser.h"

namespace qb {

constexpr int kFirstCommandId = 1;
constexpr int kLastCommandId = 125;
// A template needs room for its five fixed items; beyond this it stays empty.
constexpr int kLastTemplateStartId = 120;

// Indexed by command id. Slot 0 is never used; a build overwrites only the
// slots of the ids it gives out (kind, name, program, params, confirm).
constexpr std::size_t kCommandSlotCount = 128;
using CommandSlots = std::array<CommandEntry, kCommandSlotCount>;

// Image index per command id 0..128, as the icon menu's table holds them. A
// build writes only the ids it gives out.
constexpr std::size_t kCommandImageCount = 129;
using CommandImages = std::array<int32_t, kCommandImageCount>;

enum class MenuItemType {
    Command,
    Separator,
    Submenu,
};

struct HostMenuItem {
    MenuItemType type = MenuItemType::Command;
    // The item's text alone, as the menu reads it out: the entry's name, or
    // a template's host.
    std::string text;
    // Command: appended checked (drawn bold). Submenu: always true.
    bool bold = false;
    // Command only: its id and, copied for convenience, what its slot and
    // image table entry received.
    int id = 0;
    int32_t image = 0;
    std::string program;
    std::string params;
    bool confirm = false;
    // Submenu only: the picture beside the label, none for a template whose
    // icon is 0.
    std::optional<int32_t> labelImage;
    std::vector<HostMenuItem> items;
};

struct HostMenu {
    std::vector<HostMenuItem> items;
    // The id the next item would have taken (1 for a menu without ids).
    int nextId = kFirstCommandId;
};

// Builds the menu of the host's entries in order, filling slots and images
// for every id given out (1 to 125). The default browser is read once for
// each URL entry without the alternate-browser flag.
HostMenu buildHostMenu(const HostItem& host, const AppOptions& options, BrowserSource& browsers, CommandSlots& slots,
                       CommandImages& images);

// Fills one template's sub-menu: RDP, one item per share, Manage, Reboot,
// Shutdown, Ping; nothing when nextId is above 120. Share items that would
// take an id above 125 are left out; the fixed items always fit.
void AddTemplateItems(std::vector<HostMenuItem>& submenu, int& nextId, std::string templateHost, std::string drives,
                      const AppOptions& options, CommandSlots& slots, CommandImages& images);

// Finds the command item with that id anywhere in the tree, or null.
const HostMenuItem* findCommand(const HostMenu& menu, int id);

}  // namespace qb
