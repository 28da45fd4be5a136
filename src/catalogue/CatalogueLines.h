// The line types of the catalogue file and the tags on each, in the order the
// writer writes them, each tag naming the record field it holds (one of
// RecordFields.h): the reader, the writer and the line checker all work from
// these tables.
#pragma once

#include "catalogue/HostRecords.h"
#include "catalogue/FieldList.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace qb {

enum class LineType {
    Options,
    Host,
    Custom,
    Template,
    Separator,
    Url
};

// How a value after its tag is read and written.
enum class FieldKind {
    Text,         // up to the next "<"; with no "<" after it, the empty text
    Number,       // a number read from the text up to the next "<" (0 with no "<" after it)
    NumberToEnd,  // a number read from where the value starts, whatever follows
    TextFlag,     // set only by the exact text "1"; written 1 or 0
    NumberFlag,   // set when the value reads as the number 1; written 1 or 0
    One,          // always written 1 and read as nothing
    Marker,       // a tag without a value, written when set, read when found anywhere after the last value
};

template <class Record>
struct TagField {
    std::string_view tag;  // before the value; empty for the first, whose tag ends the line's prefix
    FieldKind kind;
    const RecordField<Record>* field;  // null for a value read as nothing
    // The reader replaces an empty text or a 0 by the record's default.
    bool emptyIsDefault = false;
};

template <class Record, class Member>
constexpr TagField<Record> tagged(std::string_view tag, FieldKind kind, Member Record::*member,
                                  bool emptyIsDefault = false)
{
    return {tag, kind, fieldOf(member), emptyIsDefault};
}

template <class Record>
struct LineLayout {
    LineType type;
    const char* description;
    std::string_view prefix;  // what the reader recognises the line by
    const TagField<Record>* fields;
    size_t fieldCount;
    std::string_view end;  // written after the last field
    // Host lines look for each tag by name where it should stand; the other
    // lines take each next value from after the next ">".
    bool namedTags;
    EntryKind entryKind;  // entry lines only

    // The tag that a field's value follows.
    std::string_view tagOf(size_t field) const
    {
        return field == 0 ? prefix.substr(prefix.find('<')) : fields[field].tag;
    }
};

inline constexpr TagField<AppOptions> kOptionsTags[] = {
    tagged("", FieldKind::NumberToEnd, &AppOptions::windowX),
    tagged("<Y>", FieldKind::NumberToEnd, &AppOptions::windowY),
    tagged("<BROWSER>", FieldKind::Text, &AppOptions::alternateBrowserPath, true),
    tagged("<RDPX>", FieldKind::Number, &AppOptions::rdpWidth, true),
    // The misspelt tag is the one the file has always had.
    tagged("<RPDY>", FieldKind::Number, &AppOptions::rdpHeight, true),
    tagged("<HIDE>", FieldKind::Marker, &AppOptions::hideTaskbarButton),
};

inline constexpr TagField<HostItem> kHostTags[] = {
    tagged("", FieldKind::Text, &HostItem::title),
    tagged("<HOST>", FieldKind::Text, &HostItem::hostName),
    tagged("<ICON>", FieldKind::NumberToEnd, &HostItem::icon),
    tagged("<COL>", FieldKind::NumberToEnd, &HostItem::colour),
};

inline constexpr TagField<CommandEntry> kCustomTags[] = {
    tagged("", FieldKind::Text, &CommandEntry::name),
    tagged("<RUN>", FieldKind::Text, &CommandEntry::program),
    tagged("<PARAMS>", FieldKind::Text, &CommandEntry::params),
    tagged("<IICON>", FieldKind::Number, &CommandEntry::icon),
    tagged("<CONFIRM>", FieldKind::NumberFlag, &CommandEntry::confirm),
    tagged("<BOLD>", FieldKind::NumberFlag, &CommandEntry::bold),
};

inline constexpr TagField<CommandEntry> kTemplateTags[] = {
    {"", FieldKind::One, nullptr},
    tagged("<P1>", FieldKind::Text, &CommandEntry::templateHost),
    tagged("<P2>", FieldKind::Text, &CommandEntry::drives),
    tagged("<IICON>", FieldKind::NumberToEnd, &CommandEntry::icon),
};

inline constexpr TagField<CommandEntry> kUrlTags[] = {
    tagged("", FieldKind::Text, &CommandEntry::url),
    tagged("<NAME>", FieldKind::Text, &CommandEntry::urlName),
    tagged("<ALT>", FieldKind::TextFlag, &CommandEntry::alternateBrowser),
    tagged("<IICON>", FieldKind::NumberToEnd, &CommandEntry::icon),
};

inline constexpr LineLayout<AppOptions> kOptionsLine = {LineType::Options,       "options line", "<X>", kOptionsTags,
                                                        std::size(kOptionsTags), "<END>",        false, CustomCommand};

inline constexpr LineLayout<HostItem> kHostLine = {LineType::Host,       "host line", "<ITEM>", kHostTags,
                                                   std::size(kHostTags), "",          true,     CustomCommand};

inline constexpr LineLayout<CommandEntry> kCustomLine = {
    LineType::Custom, "custom command line", "  <NAME>", kCustomTags, std::size(kCustomTags), "", false, CustomCommand};

inline constexpr LineLayout<CommandEntry> kTemplateLine = {
    LineType::Template, "Windows template line", "  <WINDOWS>", kTemplateTags, std::size(kTemplateTags), "", false,
    WindowsTemplate};

inline constexpr LineLayout<CommandEntry> kSeparatorLine = {
    LineType::Separator, "separator line", "  <SEP>", nullptr, 0, "", false, Separator};

inline constexpr LineLayout<CommandEntry> kUrlLine = {LineType::Url,       "URL line", "  <URL>", kUrlTags,
                                                      std::size(kUrlTags), "",         false,     Url};

// A custom command with this name reads back as a separator.
inline constexpr std::string_view kSeparatorName = "-";

// The fields that carry a value: all but a marker at the end.
template <class Record>
constexpr size_t valueCount(const LineLayout<Record>& layout)
{
    const bool marker = layout.fieldCount > 0 && layout.fields[layout.fieldCount - 1].kind == FieldKind::Marker;
    return marker ? layout.fieldCount - 1 : layout.fieldCount;
}

// The character that keeps the value of field `field` from reading back as
// written, or nothing. A "<" ends any value and a line break ends the line;
// a ">" makes the reader take the values after it from the wrong place,
// except on lines whose tags are found by name and in a line's last value.
// "<" is named first: it is the one that cuts the value itself.
template <class Record>
std::optional<char> unwritableCharacter(const LineLayout<Record>& layout, size_t field, std::string_view value)
{
    for (char cut : {'<', '\r', '\n'}) {
        if (value.find(cut) != std::string_view::npos)
            return cut;
    }
    if (!layout.namedTags && field + 1 < valueCount(layout) && value.find('>') != std::string_view::npos)
        return '>';
    return std::nullopt;
}

// A layout as a type, so that the reader and the writer are compiled for
// each line type as if written out by hand.
template <const auto& Layout>
struct LineOf {
    static constexpr const auto& layout = Layout;
};

// Calls visit with the LineOf of each entry line, in the order the reader
// tries them on what a line leaves.
template <class Visit>
void forEachEntryLine(Visit&& visit)
{
    visit(LineOf<kCustomLine>{});
    visit(LineOf<kTemplateLine>{});
    visit(LineOf<kSeparatorLine>{});
    visit(LineOf<kUrlLine>{});
}

}  // namespace qb
