// The whole data model: hosts, their menu entries, and the global options,
// each record followed by the list of its fields. Plain records with public
// fields; hosts and entries live on the heap one by one so that pointers to
// them (list rows, menu builds) stay valid while the containers around them
// change.
#pragma once

#include "catalogue/FieldList.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qb {

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

constexpr KindSet kindBit(EntryKind kind)
{
    return static_cast<KindSet>(1u << kind);
}

// A kind outside the four has no line, so it holds nothing.
constexpr bool kindHolds(KindSet kinds, EntryKind kind)
{
    return kind >= CustomCommand && kind <= Url && (kinds & kindBit(kind)) != 0;
}

constexpr KindSet kCustomKind = kindBit(CustomCommand);
constexpr KindSet kTemplateKind = kindBit(WindowsTemplate);
constexpr KindSet kUrlKind = kindBit(Url);

// All twelve, in the order dump shows them: the kind, each kind's own
// fields, then the icon that three kinds share and the custom command's flags.
inline constexpr RecordField<CommandEntry> kEntryFields[] = {
    kindField("kind", &CommandEntry::kind),
    textField("name", &CommandEntry::name, kCustomKind),
    textField("program", &CommandEntry::program, kCustomKind),
    textField("params", &CommandEntry::params, kCustomKind),
    textField("templateHost", &CommandEntry::templateHost, kTemplateKind),
    textField("drives", &CommandEntry::drives, kTemplateKind),
    textField("url", &CommandEntry::url, kUrlKind),
    flagField("alternateBrowser", &CommandEntry::alternateBrowser, kUrlKind),
    textField("urlName", &CommandEntry::urlName, kUrlKind),
    numberField("icon", &CommandEntry::icon, kCustomKind | kTemplateKind | kUrlKind),
    flagField("confirm", &CommandEntry::confirm, kCustomKind),
    flagField("bold", &CommandEntry::bold, kCustomKind),
};

template <>
struct FieldsOf<CommandEntry> {
    static constexpr const auto& list = kEntryFields;
};

using EntryList = std::vector<std::unique_ptr<CommandEntry>>;

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
// Deep copy of every entry field by field, then title, host name, icon, colour.
void copyHost(const HostItem& source, HostItem& target);
// The Copy command: like copyHost into a fresh host, but without the colour.
std::unique_ptr<HostItem> duplicateHost(const HostItem& source);

std::unique_ptr<HostItem> newHost();
std::unique_ptr<CommandEntry> newEntry();

// "title" or "title||colour": the text a host's row carries.
std::string hostDisplayText(const HostItem& host);

}  // namespace qb
