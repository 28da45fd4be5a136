// The whole data model: hosts, their menu entries, and the global options,
// each record followed by the list of its fields. Plain records with public
// fields. Hosts live on the heap one by one, so that pointers to them (list
// rows, menu builds) stay valid while the catalogue around them changes; a
// host keeps its entries compactly in an EntryList, and a CommandEntry is
// one entry as a record of its own, for editing it or running it.
#pragma once

#include "catalogue/EntryList.h"
#include "catalogue/FieldList.h"

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

struct HostItem {
    std::string title;
    std::string hostName;
    int32_t icon = 0;
    EntryList entries;
    int32_t colour = -1;
};

// A host's own fields; its entries are records of their own.
inline constexpr RecordField<HostItem> kHostFields[] = {
    textField("title", &HostItem::title),
    textField("hostName", &HostItem::hostName),
    numberField("icon", &HostItem::icon),
    numberField("colour", &HostItem::colour),
};

template <>
struct FieldsOf<HostItem> {
    static constexpr const auto& list = kHostFields;
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

inline constexpr RecordField<AppOptions> kOptionsFields[] = {
    positionField("windowX", &AppOptions::windowX),
    positionField("windowY", &AppOptions::windowY),
    textField("alternateBrowserPath", &AppOptions::alternateBrowserPath),
    numberField("rdpWidth", &AppOptions::rdpWidth),
    numberField("rdpHeight", &AppOptions::rdpHeight),
    flagField("hideTaskbarButton", &AppOptions::hideTaskbarButton),
};

template <>
struct FieldsOf<AppOptions> {
    static constexpr const auto& list = kOptionsFields;
};

void resetHost(HostItem& host);
void resetEntry(CommandEntry& entry);
void clearEntries(HostItem& host);
// Deep copy of every entry, every field, then title, host name, icon, colour.
void copyHost(const HostItem& source, HostItem& target);
// The Copy command: like copyHost into a fresh host, but without the colour.
std::unique_ptr<HostItem> duplicateHost(const HostItem& source);

std::unique_ptr<HostItem> newHost();

// "title" or "title||colour": the text a host's row carries.
std::string hostDisplayText(const HostItem& host);

}  // namespace qb
