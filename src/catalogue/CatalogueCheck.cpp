#include "catalogue/CatalogueCheck.h"

#include "catalogue/CatalogueFile.h"
#include "catalogue/CatalogueLines.h"
#include "catalogue/HostRecords.h"
#include "catalogue/TextRules.h"

#include <algorithm>
#include <optional>
#include <type_traits>

namespace qb {

namespace {

// Calls check with the layout of the line type the reader recognises the
// line as, in the reader's order of tests; false when it has none.
template <class Check>
bool withLayoutOf(std::string_view line, Check&& check)
{
    if (startsWith(line, kOptionsLine.prefix)) {
        check(kOptionsLine);
        return true;
    }
    if (startsWith(line, kHostLine.prefix)) {
        check(kHostLine);
        return true;
    }
    bool found = false;
    forEachEntryLine([&](auto entryLine) {
        if (!found && startsWith(line, entryLine.layout.prefix)) {
            check(entryLine.layout);
            found = true;
        }
    });
    return found;
}

// What the reader makes of one line. The line is read after a host line of
// its own so that an entry line has a host to go to; all[0] is that host.
struct Reading {
    std::optional<AppOptions> options;
    HostCatalogue all;
    CommandEntry entry;  // the entry read, when one was

    const EntryList& entries() const { return all[0]->entries; }
    size_t hostCount() const { return all.size() - 1; }
    const HostItem& host(size_t i) const { return *all[i + 1]; }
};

Reading readOneLine(std::string_view line)
{
    std::string bytes(kHostLine.prefix);
    bytes += '\n';
    bytes.append(line);
    Reading reading;
    AppOptions options;
    NoCatalogueWindow window;
    parseCatalogue(bytes, reading.all, options, window);
    if (options.windowX)
        reading.options = std::move(options);
    if (reading.entries().size() == 1)
        reading.entry = reading.entries()[0].toEntry();
    return reading;
}

// The lines the writer would write for what the reader made of the line.
std::vector<std::string> writtenLines(const Reading& reading)
{
    AppOptions options = reading.options.value_or(AppOptions{});
    const std::string written =
        formatCatalogue(reading.all, options, options.windowX.value_or(0), options.windowY.value_or(0));
    const std::vector<std::string_view> split = splitLines(written);
    std::vector<std::string> lines(split.begin(), split.end());
    // Line 1 is the options line, line 2 the stand-in host; then come the
    // entries and the hosts the line made (never both on one line).
    lines.erase(lines.begin() + 1);
    if (!reading.options)
        lines.erase(lines.begin());
    return lines;
}

std::string quoted(std::string_view text)
{
    std::string out = "\"";
    out.append(text);
    out += '"';
    return out;
}

// A value of the line seen two ways: as the line shows it (what a reader
// that found values by their tags would take) and as the reader reads it.
struct Field {
    const char* name;
    bool isText;
    std::string shown;
    std::string read;
};

// The record the reader made of a line when it made one of the line's own
// type and nothing else.
const AppOptions* readAs(const Reading& reading, const LineLayout<AppOptions>&)
{
    if (!reading.options || reading.hostCount() != 0 || !reading.entries().empty())
        return nullptr;
    return &*reading.options;
}

const HostItem* readAs(const Reading& reading, const LineLayout<HostItem>&)
{
    if (reading.options || reading.hostCount() != 1 || !reading.entries().empty())
        return nullptr;
    return &reading.host(0);
}

const CommandEntry* readAs(const Reading& reading, const LineLayout<CommandEntry>& layout)
{
    if (reading.options || reading.hostCount() != 0 || reading.entries().size() != 1 ||
        reading.entries()[0].kind() != layout.entryKind)
        return nullptr;
    return &reading.entry;
}

// The fields of a line that reads as one record of its own type, or nothing
// when the reader made something else of it. values: one per field that
// has a value.
template <class Record>
std::optional<std::vector<Field>> compareFields(const LineLayout<Record>& layout,
                                                const std::vector<std::string_view>& values, bool marked,
                                                const Reading& reading)
{
    const Record* record = readAs(reading, layout);
    if (!record)
        return std::nullopt;
    static const Record kDefaults{};
    std::vector<Field> fields;
    for (size_t i = 0; i < layout.fieldCount; ++i) {
        const TagField<Record>& tag = layout.fields[i];
        std::string_view value = tag.kind == FieldKind::Marker ? std::string_view() : values[i];
        if (tag.kind == FieldKind::One)
            continue;
        const RecordField<Record>& field = *tag.field;
        auto flag = [&](bool shown) {
            fields.push_back({field.name, false, shown ? "1" : "0", record->*field.flag ? "1" : "0"});
        };
        switch (tag.kind) {
        case FieldKind::Text: {
            std::string shown(value.empty() && tag.emptyIsDefault ? kDefaults.*field.text : std::string(value));
            fields.push_back({field.name, true, std::move(shown), record->*field.text});
            break;
        }
        case FieldKind::Number:
        case FieldKind::NumberToEnd: {
            int32_t shown = readNumber(value);
            if (shown == 0 && tag.emptyIsDefault)
                shown = kDefaults.*field.number;
            int32_t read = field.position ? (record->*field.position).value_or(0) : record->*field.number;
            fields.push_back({field.name, false, formatNumber(shown), formatNumber(read)});
            break;
        }
        case FieldKind::TextFlag: flag(value == "1"); break;
        case FieldKind::NumberFlag: flag(readNumber(value) == 1); break;
        case FieldKind::Marker: flag(marked); break;
        case FieldKind::One: break;
        }
    }
    return fields;
}

// The values between the tags of the layout, each tag found by name after
// the one before it; nothing when the line does not have that layout.
// marked: the line ends with the layout's marker tag.
template <class Record>
std::optional<std::vector<std::string_view>> valuesBetweenTags(std::string_view line, const LineLayout<Record>& layout,
                                                               bool& marked)
{
    marked = false;
    size_t count = layout.fieldCount;
    if (!layout.end.empty()) {
        if (!endsWith(line, layout.end))
            return std::nullopt;
        line.remove_suffix(layout.end.size());
    }
    if (count > 0 && layout.fields[count - 1].kind == FieldKind::Marker) {
        --count;
        marked = endsWith(line, layout.fields[count].tag);
        if (marked)
            line.remove_suffix(layout.fields[count].tag.size());
    }
    std::vector<std::string_view> values;
    size_t pos = layout.prefix.size();
    if (count == 0)
        return pos == line.size() ? std::optional<std::vector<std::string_view>>(values) : std::nullopt;
    for (size_t i = 1; i < count; ++i) {
        size_t next = line.find(layout.fields[i].tag, pos);
        if (next == std::string_view::npos)
            return std::nullopt;
        values.push_back(line.substr(pos, next - pos));
        pos = next + layout.fields[i].tag.size();
    }
    values.push_back(line.substr(pos));
    return values;
}

std::string differences(const std::vector<Field>& fields)
{
    std::string out;
    for (const Field& field : fields) {
        if (field.shown == field.read)
            continue;
        out += out.empty() ? ": reads back with " : ", ";
        out += field.name;
        out += ' ';
        out += field.isText ? quoted(field.read) : field.read;
        out += " instead of ";
        out += field.isText ? quoted(field.shown) : field.shown;
    }
    return out;
}

std::string joinedLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines) {
        if (!out.empty())
            out += " and ";
        out += quoted(line);
    }
    return out.empty() ? "nothing" : out;
}

void checkIcons(const Reading& reading, size_t lineNumber, std::vector<CheckFinding>& findings)
{
    auto check = [&](int32_t icon) {
        if (!isIconIndex(icon)) {
            findings.push_back(
                {lineNumber, "icon " + formatNumber(icon) + " is outside 0 to " + formatNumber(kIconCount - 1)});
        }
    };
    for (size_t i = 0; i < reading.hostCount(); ++i)
        check(reading.host(i).icon);
    for (EntryView entry : reading.entries()) {
        if (entry.kind() != Separator)
            check(entry.icon());
    }
}

template <class Record>
void checkLine(const LineLayout<Record>& layout, std::string_view line, size_t lineNumber, bool& seenHost,
               std::vector<CheckFinding>& findings)
{
    if (std::is_same_v<Record, CommandEntry> && !seenHost) {
        findings.push_back({lineNumber, std::string(layout.description) +
                                            " before the first host line: it is ignored and dropped at the next save"});
        return;
    }

    Reading reading = readOneLine(line);
    if (reading.hostCount() > 0)
        seenHost = true;
    checkIcons(reading, lineNumber, findings);

    if (layout.type == LineType::Custom && reading.entries().size() == 1 && reading.entries()[0].kind() == Separator) {
        findings.push_back({lineNumber, "custom command named \"-\" reads back as a separator"});
        return;
    }

    std::vector<std::string> written = writtenLines(reading);
    bool readsAsWritten = written.size() == 1 && written[0] == line;

    bool marked = false;
    auto values = valuesBetweenTags(line, layout, marked);
    std::optional<std::vector<Field>> fields;
    if (values)
        fields = compareFields(layout, *values, marked, reading);
    std::string changes = fields ? differences(*fields) : std::string();

    // The reader ends a value at "<" and, outside host lines, takes each next
    // value from after the next ">". Such a value is reported even when the
    // shifted values happen to read the same: the next edit would not.
    bool explained = false;
    for (size_t i = 0; values && i < values->size(); ++i) {
        std::string_view value = (*values)[i];
        std::string tag(layout.tagOf(i));
        bool last = i + 1 == values->size();
        size_t open = value.find('<');
        // A line's last value is a number: what follows it is an extra tag
        // that the writer drops, not a part of the value.
        if (last && open != std::string_view::npos && open > 0 && layout.type != LineType::Options &&
            formatNumber(readNumber(value.substr(0, open))) == value.substr(0, open)) {
            findings.push_back({lineNumber, "the text after the value of " + tag + ", " + quoted(value.substr(open)) +
                                                ", is dropped at the next save"});
            explained = true;
            continue;
        }
        const std::optional<char> unwritable = unwritableCharacter(layout, i, value);
        if (!unwritable)
            continue;
        std::string message = "the value after " + tag;
        message += *unwritable == '<' ? " contains \"<\"" : " contains \">\", which shifts the values after it";
        if (!explained)
            message += changes;
        explained = true;
        findings.push_back({lineNumber, std::move(message)});
    }
    if (explained || readsAsWritten)
        return;
    if (!fields) {
        findings.push_back({lineNumber, std::string(layout.description) + " reads back as " + joinedLines(written)});
        return;
    }

    for (size_t i = 0; i < values->size(); ++i) {
        std::string_view value = (*values)[i];
        if (layout.fields[i].kind == FieldKind::TextFlag && value != "0" && value != "1" && readNumber(value) == 1) {
            findings.push_back({lineNumber, "the value after " + std::string(layout.tagOf(i)) + " is " + quoted(value) +
                                                ", which reads as not set: only \"1\" sets it"});
            return;
        }
    }
    // Numbers and flags spelt otherwise than the writer spells them keep
    // their values; anything else that changes is worth a word.
    if (!changes.empty())
        findings.push_back({lineNumber, std::string(layout.description) + changes.substr(1)});
}

}  // namespace

std::vector<CheckFinding> checkCatalogue(std::string_view bytes)
{
    std::vector<CheckFinding> findings;
    std::vector<size_t> optionLines;
    std::vector<bool> optionLineHides;
    bool seenHost = false;
    size_t lineNumber = 0;
    // Lines split as the reader splits them.
    for (std::string_view line : splitLines(bytes)) {
        ++lineNumber;
        if (line.empty()) {
            findings.push_back({lineNumber, "blank line: dropped at the next save"});
            continue;
        }
        bool isOptions = startsWith(line, kOptionsLine.prefix);
        if (isOptions)
            optionLines.push_back(lineNumber);
        auto check = [&](const auto& layout) { checkLine(layout, line, lineNumber, seenHost, findings); };
        if (!withLayoutOf(line, check))
            findings.push_back({lineNumber, "line matches no line type: it is ignored and dropped at the next save"});
        if (isOptions)
            optionLineHides.push_back(readOneLine(line).options->hideTaskbarButton);
    }
    // Every options line is applied, the last one winning, but a marker on
    // any of them (the last field) sets its flag for good.
    const std::string marker(kOptionsLine.fields[kOptionsLine.fieldCount - 1].tag);
    for (size_t i = 0; i + 1 < optionLines.size(); ++i) {
        std::string message =
            "options line " + std::to_string(optionLines.back()) + " replaces this one: it is dropped at the next save";
        if (optionLineHides[i] && !optionLineHides.back())
            message += ", but its " + marker + " stays in effect";
        findings.push_back({optionLines[i], std::move(message)});
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
    return findings;
}

}  // namespace qb
