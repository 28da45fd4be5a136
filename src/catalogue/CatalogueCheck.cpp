#include "catalogue/CatalogueCheck.h"

#include "catalogue/CatalogueFile.h"
#include "catalogue/HostRecords.h"
#include "catalogue/TextRules.h"

#include <algorithm>
#include <optional>

namespace qb {

namespace {

enum class LineType {
    None,
    Options,
    Host,
    Custom,
    Template,
    Separator,
    Url
};

// The tags the writer puts on each kind of line, the first being the prefix
// that the reader recognises the line by; a value follows every tag except
// on a separator line.
struct Layout {
    LineType type;
    const char* description;
    std::vector<std::string_view> tags;
};

const std::vector<Layout>& layouts()
{
    // In the reader's order of tests.
    static const std::vector<Layout> all = {
        {LineType::Options, "options line", {"<X>", "<Y>", "<BROWSER>", "<RDPX>", "<RPDY>"}},
        {LineType::Host, "host line", {"<ITEM>", "<HOST>", "<ICON>", "<COL>"}},
        {LineType::Custom, "custom command line", {"  <NAME>", "<RUN>", "<PARAMS>", "<IICON>", "<CONFIRM>", "<BOLD>"}},
        {LineType::Template, "Windows template line", {"  <WINDOWS>", "<P1>", "<P2>", "<IICON>"}},
        {LineType::Separator, "separator line", {"  <SEP>"}},
        {LineType::Url, "URL line", {"  <URL>", "<NAME>", "<ALT>", "<IICON>"}},
    };
    return all;
}

const Layout* layoutOf(std::string_view line)
{
    for (const Layout& layout : layouts()) {
        if (line.substr(0, layout.tags[0].size()) == layout.tags[0])
            return &layout;
    }
    return nullptr;
}

bool isEntry(LineType type)
{
    return type != LineType::Options && type != LineType::Host && type != LineType::None;
}

// What the reader makes of one line. The line is read after a host line of
// its own so that an entry line has a host to go to; all[0] is that host.
struct Reading {
    std::optional<AppOptions> options;
    HostCatalogue all;

    const EntryList& entries() const { return all[0]->entries; }
    size_t hostCount() const { return all.size() - 1; }
    const HostItem& host(size_t i) const { return *all[i + 1]; }
};

Reading readOneLine(std::string_view line)
{
    std::string bytes = "<ITEM>\n";
    bytes.append(line);
    Reading reading;
    AppOptions options;
    NoCatalogueWindow window;
    parseCatalogue(bytes, reading.all, options, window);
    if (options.windowX)
        reading.options = std::move(options);
    return reading;
}

std::vector<std::string> splitWrittenLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos)
            end = bytes.size();
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The lines the writer would write for what the reader made of the line.
std::vector<std::string> writtenLines(const Reading& reading)
{
    AppOptions options = reading.options.value_or(AppOptions{});
    std::vector<std::string> lines = splitWrittenLines(
        formatCatalogue(reading.all, options, options.windowX.value_or(0), options.windowY.value_or(0)));
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

Field textField(const char* name, std::string_view shown, const std::string& read)
{
    return {name, true, std::string(shown), read};
}

Field numberField(const char* name, int32_t shown, int32_t read)
{
    return {name, false, formatNumber(shown), formatNumber(read)};
}

Field flagField(const char* name, bool shown, bool read)
{
    return {name, false, shown ? "1" : "0", read ? "1" : "0"};
}

int32_t orDefault(int32_t value, int32_t fallback)
{
    return value == 0 ? fallback : value;
}

// The fields of a line that reads as one record of its own type, or nothing
// when the reader made something else of it.
std::optional<std::vector<Field>> compareFields(LineType type, const std::vector<std::string_view>& v, bool hide,
                                                const Reading& reading)
{
    const bool noHostsOrOptions = !reading.options && reading.hostCount() == 0;
    const bool oneEntry = noHostsOrOptions && reading.entries().size() == 1;
    switch (type) {
    case LineType::Options: {
        if (!reading.options || reading.hostCount() != 0 || !reading.entries().empty())
            return std::nullopt;
        const AppOptions& o = *reading.options;
        std::string_view browser = v[2].empty() ? std::string_view(kDefaultAlternateBrowser) : v[2];
        return std::vector<Field>{
            numberField("windowX", readNumber(v[0]), *o.windowX),
            numberField("windowY", readNumber(v[1]), *o.windowY),
            textField("alternateBrowserPath", browser, o.alternateBrowserPath),
            numberField("rdpWidth", orDefault(readNumber(v[3]), kDefaultRdpWidth), o.rdpWidth),
            numberField("rdpHeight", orDefault(readNumber(v[4]), kDefaultRdpHeight), o.rdpHeight),
            flagField("hideTaskbarButton", hide, o.hideTaskbarButton),
        };
    }
    case LineType::Host: {
        if (reading.options || reading.hostCount() != 1 || !reading.entries().empty())
            return std::nullopt;
        const HostItem& h = reading.host(0);
        return std::vector<Field>{
            textField("title", v[0], h.title),
            textField("hostName", v[1], h.hostName),
            numberField("icon", readNumber(v[2]), h.icon),
            numberField("colour", readNumber(v[3]), h.colour),
        };
    }
    case LineType::Custom: {
        if (!oneEntry || reading.entries()[0]->kind != CustomCommand)
            return std::nullopt;
        const CommandEntry& e = *reading.entries()[0];
        return std::vector<Field>{
            textField("name", v[0], e.name),
            textField("program", v[1], e.program),
            textField("params", v[2], e.params),
            numberField("icon", readNumber(v[3]), e.icon),
            flagField("confirm", readNumber(v[4]) == 1, e.confirm),
            flagField("bold", readNumber(v[5]) == 1, e.bold),
        };
    }
    case LineType::Template: {
        if (!oneEntry || reading.entries()[0]->kind != WindowsTemplate)
            return std::nullopt;
        const CommandEntry& e = *reading.entries()[0];
        return std::vector<Field>{
            textField("templateHost", v[1], e.templateHost),
            textField("drives", v[2], e.drives),
            numberField("icon", readNumber(v[3]), e.icon),
        };
    }
    case LineType::Url: {
        if (!oneEntry || reading.entries()[0]->kind != Url)
            return std::nullopt;
        const CommandEntry& e = *reading.entries()[0];
        return std::vector<Field>{
            textField("url", v[0], e.url),
            textField("urlName", v[1], e.urlName),
            flagField("alternateBrowser", v[2] == "1", e.alternateBrowser),
            numberField("icon", readNumber(v[3]), e.icon),
        };
    }
    default:
        return oneEntry && reading.entries()[0]->kind == Separator
                   ? std::optional<std::vector<Field>>(std::vector<Field>{})
                   : std::nullopt;
    }
}

// The values between the tags of the layout, each tag found by name after
// the one before it; nothing when the line does not have that layout.
std::optional<std::vector<std::string_view>> valuesBetweenTags(std::string_view line, const Layout& layout, bool& hide)
{
    hide = false;
    if (layout.type == LineType::Options) {
        constexpr std::string_view kEnd = "<END>";
        constexpr std::string_view kHide = "<HIDE>";
        if (line.size() < kEnd.size() || line.substr(line.size() - kEnd.size()) != kEnd)
            return std::nullopt;
        line.remove_suffix(kEnd.size());
        if (line.size() >= kHide.size() && line.substr(line.size() - kHide.size()) == kHide) {
            hide = true;
            line.remove_suffix(kHide.size());
        }
    }
    std::vector<std::string_view> values;
    size_t pos = layout.tags[0].size();
    if (layout.type == LineType::Separator)
        return pos == line.size() ? std::optional<std::vector<std::string_view>>(values) : std::nullopt;
    for (size_t i = 1; i < layout.tags.size(); ++i) {
        size_t next = line.find(layout.tags[i], pos);
        if (next == std::string_view::npos)
            return std::nullopt;
        values.push_back(line.substr(pos, next - pos));
        pos = next + layout.tags[i].size();
    }
    values.push_back(line.substr(pos));
    return values;
}

std::string_view tagName(std::string_view tag)
{
    return tag.substr(tag.find('<'));
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
        if (icon < kFirstIcon || icon > kLastIcon) {
            findings.push_back({lineNumber, "icon " + formatNumber(icon) + " is outside " + formatNumber(kFirstIcon) +
                                                " to " + formatNumber(kLastIcon)});
        }
    };
    for (size_t i = 0; i < reading.hostCount(); ++i)
        check(reading.host(i).icon);
    for (const auto& entry : reading.entries()) {
        if (entry->kind != Separator)
            check(entry->icon);
    }
}

void checkLine(std::string_view line, size_t lineNumber, bool& seenHost, std::vector<CheckFinding>& findings)
{
    const Layout* layout = layoutOf(line);
    if (!layout) {
        findings.push_back({lineNumber, "line matches no line type: it is ignored and dropped at the next save"});
        return;
    }
    if (isEntry(layout->type) && !seenHost) {
        findings.push_back({lineNumber, std::string(layout->description) +
                                            " before the first host line: it is ignored and dropped at the next save"});
        return;
    }

    Reading reading = readOneLine(line);
    if (reading.hostCount() > 0)
        seenHost = true;
    checkIcons(reading, lineNumber, findings);

    if (layout->type == LineType::Custom && reading.entries().size() == 1 && reading.entries()[0]->kind == Separator) {
        findings.push_back({lineNumber, "custom command named \"-\" reads back as a separator"});
        return;
    }

    std::vector<std::string> written = writtenLines(reading);
    bool readsAsWritten = written.size() == 1 && written[0] == line;

    bool hide = false;
    auto values = valuesBetweenTags(line, *layout, hide);
    std::optional<std::vector<Field>> fields;
    if (values)
        fields = compareFields(layout->type, *values, hide, reading);
    std::string changes = fields ? differences(*fields) : std::string();

    // The reader ends a value at "<" and, outside host lines, takes each next
    // value from after the next ">". Such a value is reported even when the
    // shifted values happen to read the same: the next edit would not.
    bool explained = false;
    for (size_t i = 0; values && i < values->size(); ++i) {
        std::string_view value = (*values)[i];
        std::string message = "the value after " + std::string(tagName(layout->tags[i]));
        bool last = i + 1 == values->size();
        size_t open = value.find('<');
        // A line's last value is a number: what follows it is an extra tag
        // that the writer drops, not a part of the value.
        if (last && open != std::string_view::npos && open > 0 && layout->type != LineType::Options &&
            formatNumber(readNumber(value.substr(0, open))) == value.substr(0, open)) {
            findings.push_back({lineNumber, "the text after the value of " + std::string(tagName(layout->tags[i])) +
                                                ", " + quoted(value.substr(open)) + ", is dropped at the next save"});
            explained = true;
            continue;
        }
        if (open != std::string_view::npos)
            message += " contains \"<\"";
        else if (value.find('>') != std::string_view::npos && layout->type != LineType::Host && !last)
            message += " contains \">\", which shifts the values after it";
        else
            continue;
        if (!explained)
            message += changes;
        explained = true;
        findings.push_back({lineNumber, std::move(message)});
    }
    if (explained || readsAsWritten)
        return;
    if (!fields) {
        findings.push_back({lineNumber, std::string(layout->description) + " reads back as " + joinedLines(written)});
        return;
    }

    if (layout->type == LineType::Url && (*values)[2] != "0" && (*values)[2] != "1" && readNumber((*values)[2]) == 1) {
        findings.push_back({lineNumber, "the value after <ALT> is " + quoted((*values)[2]) +
                                            ", which reads as not set: only \"1\" sets it"});
        return;
    }
    // Numbers and flags spelt otherwise than the writer spells them keep
    // their values; anything else that changes is worth a word.
    if (!changes.empty())
        findings.push_back({lineNumber, std::string(layout->description) + changes.substr(1)});
}

}  // namespace

std::vector<CheckFinding> checkCatalogue(std::string_view bytes)
{
    std::vector<CheckFinding> findings;
    std::vector<size_t> optionLines;
    std::vector<bool> optionLineHides;
    bool seenHost = false;
    size_t lineNumber = 0;
    size_t start = 0;
    // Lines split as the reader splits them, a last line without terminator
    // kept.
    while (start < bytes.size()) {
        size_t end = findLineEnd(bytes, start);
        std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
        if (end == std::string_view::npos)
            start = bytes.size();
        else
            start = end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
        ++lineNumber;
        if (line.empty()) {
            findings.push_back({lineNumber, "blank line: dropped at the next save"});
            continue;
        }
        if (line.substr(0, 3) == "<X>")
            optionLines.push_back(lineNumber);
        checkLine(line, lineNumber, seenHost, findings);
        if (line.substr(0, 3) == "<X>")
            optionLineHides.push_back(readOneLine(line).options->hideTaskbarButton);
    }
    // Every options line is applied, the last one winning, but a <HIDE> on
    // any of them sets the flag for good.
    for (size_t i = 0; i + 1 < optionLines.size(); ++i) {
        std::string message =
            "options line " + std::to_string(optionLines.back()) + " replaces this one: it is dropped at the next save";
        if (optionLineHides[i] && !optionLineHides.back())
            message += ", but its <HIDE> stays in effect";
        findings.push_back({optionLines[i], std::move(message)});
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
    return findings;
}

}  // namespace qb
