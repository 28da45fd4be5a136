// One entry of a host's menu as a record of its own, and the list of its
// fields. A host keeps its entries packed (EntryList.h); a CommandEntry is
// what the editors edit and what a menu's command slots run.
#pragma once

#include "catalogue/FieldList.h"

#include <array>
#include <cstdint>
#include <string>

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
inline constexpr auto kEntryFields = ranked(std::array{
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
});

template <>
struct FieldsOf<CommandEntry> {
    static constexpr const auto& list = kEntryFields;
};

}  // namespace qb
