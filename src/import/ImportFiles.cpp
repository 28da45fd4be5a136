#include "import/ImportFiles.h"

#include "catalogue/TextRules.h"
#include "import/ImportText.h"
#include "import/XmlTree.h"

#include <algorithm>
#include <filesystem>

namespace qb {

namespace {

std::string trimmed(std::string_view text)
{
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

std::string origin(const std::string& name, size_t line)
{
    return name + ":" + std::to_string(line);
}

// --- CSV (RFC 4180) ---------------------------------------------------------

struct CsvRecord {
    size_t line = 0;  // where it starts
    std::vector<std::string> fields;
    std::vector<bool> quoted;  // quoted fields keep their blanks
};

// Quoted fields may hold separators, quotes (doubled) and line breaks; LF
// alone ends a record as CR LF does.
std::vector<CsvRecord> csvRecords(std::string_view text, char separator)
{
    std::vector<CsvRecord> records;
    CsvRecord record{1, {std::string()}, {false}};
    size_t line = 1;
    bool quoted = false;
    bool blank = true;  // nothing but line ends so far in this record
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        std::string& field = record.fields.back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
            line += c == '\n';
        } else if (c == '"') {
            quoted = true;
            record.quoted.back() = true;
            blank = false;
        } else if (c == separator) {
            record.fields.emplace_back();
            record.quoted.push_back(false);
            blank = false;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            if (!blank)
                records.push_back(std::move(record));
            record = CsvRecord{++line, {std::string()}, {false}};
            blank = true;
        } else {
            field += c;
            blank = false;
        }
    }
    if (!blank)
        records.push_back(std::move(record));
    return records;
}

// A decimal number of up to nine digits (no sign), or false.
bool readDecimal(std::string_view text, long& value)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    value = readNumber(text);
    return true;
}

// Decimal COLORREF, or "#RRGGBB" as on the web (red first); -1, which
// export writes, is no colour.
bool readColour(std::string_view text, long& colour)
{
    if (text == "-1") {
        colour = -1;
        return true;
    }
    if (text.size() == 7 && text[0] == '#') {
        long rgb = 0;
        for (char c : text.substr(1)) {
            const int digit = hexDigitValue(c);
            if (digit < 0)
                return false;
            rgb = rgb * 16 + digit;
        }
        colour = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
        return true;
    }
    return readDecimal(text, colour) && colour <= 0xFFFFFF;
}

// Quoted where a reader would otherwise split it or trim it.
std::string csvField(const std::string& text)
{
    bool plain = text.find_first_of(",;\"\r\n") == std::string::npos && trimmed(text) == text;
    if (plain)
        return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// --- XML --------------------------------------------------------------------

XmlElement parsedXml(std::string_view bytes, const std::string& name)
{
    try {
        return parseXml(bytes);
    } catch (const XmlError& error) {
        throw ImportError(name + ": " + error.what());
    }
}

std::string childText(const XmlElement& element, std::string_view childName)
{
    const XmlElement* child = element.child(childName);
    return child ? trimmed(child->text) : std::string();
}

// Servers anywhere below, groups flattened, in document order. Newer files
// keep a server's names in a "properties" child, older ones directly in it.
void addRdgServers(const XmlElement& element, const std::string& name, AnsiText& ansi, ImportRead& read)
{
    for (const XmlElement& child : element.children) {
        if (child.name != "server") {
            addRdgServers(child, name, ansi, read);
            continue;
        }
        const XmlElement* properties = child.child("properties");
        const XmlElement& names = properties ? *properties : child;
        ImportCandidate host;
        host.hostName = ansi.fromUtf8(childText(names, "name"));
        std::string display = ansi.fromUtf8(childText(names, "displayName"));
        host.title = display.empty() ? host.hostName : display;
        host.origin = name + ": server " + (host.hostName.empty() ? "without a name" : host.hostName);
        read.hosts.push_back(std::move(host));
    }
}

void addConnectionNodes(const XmlElement& element, const std::string& name, AnsiText& ansi, ImportRead& read)
{
    for (const XmlElement& node : element.children) {
        if (node.name != "Node")
            continue;
        const std::string* type = node.attribute("Type");
        if (type && *type == "Container") {
            addConnectionNodes(node, name, ansi, read);
            continue;
        }
        const std::string* title = node.attribute("Name");
        const std::string* host = node.attribute("Hostname");
        ImportCandidate candidate;
        candidate.title = ansi.fromUtf8(title ? trimmed(*title) : std::string());
        candidate.hostName = ansi.fromUtf8(host ? trimmed(*host) : std::string());
        candidate.origin = name + ": " + candidate.title;
        read.hosts.push_back(std::move(candidate));
    }
}

// title in UTF-8: file names are, whatever the platform's own encoding.
ImportCandidate rdpHost(std::string_view bytes, const std::string& name, const std::string& title, AnsiText& ansi)
{
    std::string text = ansi.fromFile(bytes);
    ImportCandidate host;
    host.title = ansi.fromUtf8(title);
    host.origin = name;
    const std::string key = "full address:s:";
    for (std::string_view line : splitLines(text)) {
        if (startsWithIgnoringCase(line, key))
            host.hostName = trimmed(line.substr(key.size()));
    }
    return host;
}

}  // namespace

bool isDirectorySource(std::string_view source)
{
    return startsWithIgnoringCase(source, "ldap://") || startsWithIgnoringCase(source, "ldaps://");
}

ImportRead readCsv(std::string_view bytes, const std::string& name)
{
    AnsiText ansi;
    std::string text = ansi.fromFile(bytes);
    std::string_view firstRow = std::string_view(text).substr(0, text.find_first_of("\r\n"));
    bool semicolons = firstRow.find(';') != std::string_view::npos && firstRow.find(',') == std::string_view::npos;
    std::vector<CsvRecord> records = csvRecords(text, semicolons ? ';' : ',');
    if (records.empty())
        throw ImportError(name + ": empty, with no row of column names");

    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t titleColumn = kNone, hostColumn = kNone, iconColumn = kNone, colourColumn = kNone;
    const std::vector<std::string>& header = records.front().fields;
    for (size_t i = 0; i < header.size(); ++i) {
        std::string column = asciiLowered(trimmed(header[i]));
        size_t* slot = column == "title"                         ? &titleColumn
                       : column == "host"                        ? &hostColumn
                       : column == "icon"                        ? &iconColumn
                       : column == "colour" || column == "color" ? &colourColumn
                                                                 : nullptr;
        if (slot && *slot == kNone)
            *slot = i;
    }
    if (titleColumn == kNone && hostColumn == kNone)
        throw ImportError(name + ": the first row names neither a \"title\" nor a \"host\" column");
    if (titleColumn == kNone)
        titleColumn = hostColumn;
    if (hostColumn == kNone)
        hostColumn = titleColumn;

    ImportRead read;
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        auto cell = [&](size_t column) {
            if (column >= record.fields.size())
                return std::string();
            return record.quoted[column] ? record.fields[column] : trimmed(record.fields[column]);
        };
        ImportCandidate host;
        host.title = cell(titleColumn);
        host.hostName = cell(hostColumn);
        host.origin = origin(name, record.line);
        std::string icon = cell(iconColumn);
        long number = -1;
        if (!icon.empty() && readDecimal(icon, number))
            host.icon = static_cast<int>(number);
        else if (!icon.empty())
            read.warnings.push_back(host.origin + ": icon \"" + ansiToUtf8(icon) + "\" is not a number; not used");
        std::string colour = cell(colourColumn);
        if (!colour.empty() && !readColour(colour, host.colour)) {
            host.colour = -1;
            read.warnings.push_back(host.origin + ": colour \"" + ansiToUtf8(colour) +
                                    "\" is neither a number nor #RRGGBB; not used");
        }
        read.hosts.push_back(std::move(host));
    }
    ansi.warnInto(read.warnings);
    return read;
}

ImportRead readHostList(std::string_view bytes, const std::string& name)
{
    AnsiText ansi;
    std::string text = ansi.fromFile(bytes);
    ImportRead read;
    std::vector<std::string_view> all = splitLines(text);
    read.hosts.reserve(all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        std::string line = trimmed(all[i]);
        if (line.empty() || line[0] == '#')
            continue;
        read.hosts.push_back({line, line, -1, -1, origin(name, i + 1), {}});
    }
    ansi.warnInto(read.warnings);
    return read;
}

ImportRead readRdg(std::string_view bytes, const std::string& name)
{
    XmlElement root = parsedXml(bytes, name);
    AnsiText ansi;
    ImportRead read;
    addRdgServers(root, name, ansi, read);
    ansi.warnInto(read.warnings);
    return read;
}

ImportRead readConnectionsXml(std::string_view bytes, const std::string& name)
{
    XmlElement root = parsedXml(bytes, name);
    const std::string* whole = root.attribute("FullFileEncryption");
    if (whole && equalsIgnoringCase(*whole, "true"))
        throw ImportError(name + ": its connections are encrypted as a whole; save them without full file "
                                 "encryption, then import that file");
    AnsiText ansi;
    ImportRead read;
    addConnectionNodes(root, name, ansi, read);
    ansi.warnInto(read.warnings);
    return read;
}

ImportRead readRdp(std::string_view bytes, const std::string& name, const std::string& title)
{
    AnsiText ansi;
    ImportRead read;
    read.hosts.push_back(rdpHost(bytes, name, title, ansi));
    ansi.warnInto(read.warnings);
    return read;
}

std::string hostsCsv(const HostCatalogue& hosts)
{
    std::string out = "\xEF\xBB\xBFtitle,host,icon,colour\r\n";
    for (const auto& host : hosts) {
        out += csvField(ansiToUtf8(host->title)) + ',' + csvField(ansiToUtf8(host->hostName)) + ',' +
               formatNumber(host->icon) + ',' + formatNumber(host->colour) + "\r\n";
    }
    return out;
}

ImportRead readImportFile(const std::string& path, FileStore& store)
{
    auto readBytes = [&](const std::string& file) {
        FileReadResult result = store.readAll(file);
        if (result.missing)
            throw ImportError(file + " not found");
        if (!result.whole())
            throw ImportError("cannot read " + file + ": " + result.error);
        return std::move(result.bytes);
    };
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory(fs::path(path), error)) {
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(path), error)) {
            if (endsWithIgnoringCase(entry.path().filename().u8string(), ".rdp") && entry.is_regular_file(error))
                files.push_back(entry.path());
        }
        if (error)
            throw ImportError("cannot list " + path + ": " + error.message());
        std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
            return a.filename().u8string() < b.filename().u8string();
        });
        AnsiText ansi;
        ImportRead read;
        for (const fs::path& file : files)
            read.hosts.push_back(rdpHost(readBytes(file.string()), file.string(), file.stem().u8string(), ansi));
        ansi.warnInto(read.warnings);
        return read;
    }
    if (endsWithIgnoringCase(path, ".csv"))
        return readCsv(readBytes(path), path);
    if (endsWithIgnoringCase(path, ".txt"))
        return readHostList(readBytes(path), path);
    if (endsWithIgnoringCase(path, ".rdg"))
        return readRdg(readBytes(path), path);
    if (endsWithIgnoringCase(path, ".xml"))
        return readConnectionsXml(readBytes(path), path);
    if (endsWithIgnoringCase(path, ".rdp"))
        return readRdp(readBytes(path), path, fs::path(path).stem().u8string());
    throw ImportError(path + ": not a source this program reads (a .csv, .txt, .rdg, .xml or .rdp file, a folder "
                             "of .rdp files, or an ldap:// address)");
}

}  // namespace qb
