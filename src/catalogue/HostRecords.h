// The whole data model: hosts, their menu entries, and the global options.
// Plain records with public fields; hosts and entries live on the heap one by
// one so that pointers to them (list rows, menu builds) stay valid while the
// containers around them change.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qb {

// An icon (of a host or an entry) is a position in the program's strip of
// kIconCount pictures; a file may hold any number, which draws no icon.
constexpr int32_t kIconCount = 120;
constexpr bool isIconIndex(int32_t icon)
{
    return icon >= 0 && icon < kIconCount;
}

enum EntryKind : int32_t {
    CustomCommand = 0,
    WindowsTemplate = 1,
    Separator = 2,
    Url = 3,
};

struct CommandEntry {
    EntryKind kind = CustomCommand;
    std::string name;
    std::string program;
    std::string params;
    int32_t icon = 0;
    bool confirm = false;
    bool bold = false;
    std::string templateHost;
    std::string drives;
    std::string url;
    bool alternateBrowser = false;
    std::string urlName;
};

using EntryList = std::vector<std::unique_ptr<CommandEntry>>;

struct HostItem {
    std::string title;
    std::string hostName;
    int32_t icon = 0;
    EntryList entries;
    int32_t colour = -1;
};

using HostCatalogue = std::vector<std::unique_ptr<HostItem>>;

extern const char* const kDefaultAlternateBrowser;
constexpr int32_t kDefaultRdpWidth = 1024;
constexpr int32_t kDefaultRdpHeight = 768;
constexpr int32_t kNoColour = -1;

struct AppOptions {
    // Set only by loading an options line; the window owns its position
    // otherwise, and the writer asks the window for it.
    std::optional<int32_t> windowX;
    std::optional<int32_t> windowY;
    std::string alternateBrowserPath = kDefaultAlternateBrowser;
    int32_t rdpWidth = kDefaultRdpWidth;
    int32_t rdpHeight = kDefaultRdpHeight;
    bool hideTaskbarButton = false;
};

void resetHost(HostItem& host);
void resetEntry(CommandEntry& entry);
void clearEntries(HostItem& host);
// Deep copy of every entry field by field, then title, host name, icon, colour.
void copyHost(const HostItem& source, HostItem& target);
// The Copy command: like copyHost into a fresh host, but without the colour.
std::unique_ptr<HostItem> duplicateHost(const HostItem& source);

std::unique_ptr<HostItem> newHost();
std::unique_ptr<CommandEntry> newEntry();

// "title" or "title||colour": the text a host's row carries.
std::string hostDisplayText(const HostItem& host);

}  // namespace qb
