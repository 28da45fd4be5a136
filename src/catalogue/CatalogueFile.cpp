#include "catalogue/CatalogueFile.h"

#include "catalogue/CatalogueLines.h"
#include "catalogue/TextRules.h"

#include <charconv>
#include <cstring>
#include <utility>

namespace qb {

const char* const kCatalogueFileName = "quillbank.ini";

namespace {

// The reader's view of the line still to be read. Every primitive works on
// views into the file's bytes, so reading a line allocates nothing beyond the
// record fields it fills.
class Rest
{
public:
    explicit Rest(std::string_view line) : m_rest(line) {}

    bool startsWith(std::string_view prefix) const { return qb::startsWith(m_rest, prefix); }

    bool contains(std::string_view text) const { return m_rest.find(text) != std::string_view::npos; }

    std::string_view view() const { return m_rest; }

    void drop(size_t count) { m_rest.remove_prefix(count < m_rest.size() ? count : m_rest.size()); }

    // A rest without ">" stays as it is.
    void skipPastClose()
    {
        size_t close = m_rest.find('>');
        if (close != std::string_view::npos)
            m_rest.remove_prefix(close + 1);
    }

    // The "<" at position 0 is the tag just read, so the search starts at 1.
    void skipToNextTag()
    {
        size_t open = m_rest.find('<', 1);
        if (open != std::string_view::npos)
            m_rest.remove_prefix(open);
    }

    // A value is only ever ended by the next tag: a rest without "<" holds
    // no complete value and gives the empty text.
    std::string_view textUpToTag() const { return upToTag(m_rest); }

    static std::string_view upToTag(std::string_view text)
    {
        size_t open = text.find('<');
        return open == std::string_view::npos ? std::string_view() : text.substr(0, open);
    }

private:
    std::string_view m_rest;
};

// The reader and the writer below are templates on the layout so that each
// line type's code is as direct as if its tags were written out: loading and
// saving large catalogues must not pay for the table.

template <const auto& Layout, size_t I, class Record>
void storeNumber(Record& record, int32_t value)
{
    constexpr const TagField<Record>& field = Layout.fields[I];
    if constexpr (field.position != nullptr)
        record.*field.position = value;
    else
        record.*field.number = value;
}

// Reads the value that starts the rest; the rest stays where it is.
template <const auto& Layout, size_t I, class Record>
void readValue(const Rest& rest, Record& record)
{
    constexpr const TagField<Record>& field = Layout.fields[I];
    if constexpr (field.kind == FieldKind::Text)
        (record.*field.text).assign(rest.textUpToTag());
    else if constexpr (field.kind == FieldKind::Number)
        storeNumber<Layout, I>(record, readNumber(rest.textUpToTag()));
    else if constexpr (field.kind == FieldKind::NumberToEnd)
        storeNumber<Layout, I>(record, readNumber(rest.view()));
    else if constexpr (field.kind == FieldKind::TextFlag)
        record.*field.flag = rest.textUpToTag() == "1";
    else if constexpr (field.kind == FieldKind::NumberFlag)
        record.*field.flag = readNumber(rest.view()) == 1;
}

// Field I of a line the rest started with. Markers only ever set their flag,
// and say so through marked.
template <const auto& Layout, size_t I, class Record>
void readField(Rest& rest, Record& record, bool& marked)
{
    constexpr const TagField<Record>& field = Layout.fields[I];
    if constexpr (Layout.namedTags) {
        // Each tag is looked for only where it should stand: a missing one
        // makes the skips run past the next one too.
        if constexpr (I == 0) {
            readValue<Layout, I>(Rest(rest.view().substr(Layout.prefix.size())), record);
        } else {
            rest.skipToNextTag();
            if (rest.startsWith(field.tag))
                readValue<Layout, I>(Rest(rest.view().substr(field.tag.size())), record);
        }
    } else if constexpr (field.kind == FieldKind::Marker) {
        if (rest.contains(field.tag)) {
            record.*field.flag = true;
            marked = true;
        }
    } else {
        if constexpr (I == 0)
            rest.drop(Layout.prefix.size());
        else
            rest.skipPastClose();
        readValue<Layout, I>(rest, record);
    }
}

template <const auto& Layout, class Record, size_t... I>
bool readFields(Rest& rest, Record& record, std::index_sequence<I...>)
{
    bool marked = false;
    (readField<Layout, I>(rest, record, marked), ...);
    return marked;
}

// Reads a line the rest starts with, leaving the rest where the last value
// starts; true when a marker tag was found.
template <const auto& Layout, class Record>
bool readFields(Rest& rest, Record& record)
{
    return readFields<Layout>(rest, record, std::make_index_sequence<Layout.fieldCount>());
}

template <class Record>
void applyDefaults(const LineLayout<Record>& layout, Record& record)
{
    static const Record kDefaults{};
    for (size_t i = 0; i < layout.fieldCount; ++i) {
        const TagField<Record>& field = layout.fields[i];
        if (!field.emptyIsDefault)
            continue;
        if (field.text && (record.*field.text).empty())
            record.*field.text = kDefaults.*field.text;
        if (field.number && record.*field.number == 0)
            record.*field.number = kDefaults.*field.number;
    }
}

void readOptionsLine(Rest& rest, AppOptions& options, CatalogueWindow& window)
{
    if (readFields<kOptionsLine>(rest, options))
        window.dropTaskbarButton();
    applyDefaults(kOptionsLine, options);
    window.moveTopLeftTo(options.windowX.value_or(0), options.windowY.value_or(0));
}

std::unique_ptr<HostItem> readHostLine(Rest& rest)
{
    auto host = newHost();
    readFields<kHostLine>(rest, *host);
    return host;
}

template <const auto& Layout>
std::unique_ptr<CommandEntry> readEntryLine(Rest& rest)
{
    auto entry = newEntry();
    entry->kind = Layout.entryKind;
    // A line without values (the separator) leaves the rest as it is, so
    // nothing after its tag is tried as another line.
    if constexpr (Layout.fieldCount > 0)
        readFields<Layout>(rest, *entry);
    if constexpr (Layout.type == LineType::Custom) {
        if (entry->name == kSeparatorName) {
            entry->name.clear();
            entry->kind = Separator;
        }
    }
    return entry;
}

void appendNumber(std::string& out, int32_t value)
{
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void appendFlag(std::string& out, bool value)
{
    out += value ? '1' : '0';
}

template <const auto& Layout, size_t I, class Record>
void appendField(std::string& out, const Record& record)
{
    constexpr const TagField<Record>& field = Layout.fields[I];
    if constexpr (field.kind == FieldKind::Marker) {
        if (record.*field.flag)
            out += field.tag;
        return;
    }
    if constexpr (!field.tag.empty())
        out += field.tag;
    if constexpr (field.kind == FieldKind::Text)
        out += record.*field.text;
    else if constexpr (field.kind == FieldKind::One)
        out += '1';
    else if constexpr (field.kind == FieldKind::TextFlag || field.kind == FieldKind::NumberFlag)
        appendFlag(out, record.*field.flag);
    else if constexpr (field.position != nullptr)
        appendNumber(out, (record.*field.position).value_or(0));
    else
        appendNumber(out, record.*field.number);
}

template <const auto& Layout, class Record, size_t... I>
void appendLine(std::string& out, const Record& record, std::index_sequence<I...>)
{
    out += Layout.prefix;
    (appendField<Layout, I>(out, record), ...);
    if constexpr (!Layout.end.empty())
        out += Layout.end;
    out += "\r\n";
}

template <const auto& Layout, class Record>
void appendLine(std::string& out, const Record& record)
{
    appendLine<Layout>(out, record, std::make_index_sequence<Layout.fieldCount>());
}

void appendEntryLine(std::string& out, const CommandEntry& entry)
{
    // A kind the file has no line for writes nothing, which keeps the rest
    // of the file readable.
    forEachEntryLine([&](auto line) {
        if (entry.kind == line.layout.entryKind)
            appendLine<decltype(line)::layout>(out, entry);
    });
}

size_t estimatedSize(const HostCatalogue& hosts, const AppOptions& options)
{
    size_t size = 96 + options.alternateBrowserPath.size();
    for (const auto& host : hosts) {
        size += 48 + host->title.size() + host->hostName.size();
        for (const auto& entry : host->entries) {
            size += 64 + entry->name.size() + entry->program.size() + entry->params.size() +
                    entry->templateHost.size() + entry->drives.size() + entry->url.size() + entry->urlName.size();
        }
    }
    return size;
}

// Reads the file's lines as its bytes arrive, so that a large file never
// needs a second copy in memory. Lines may be split across chunks.
class CatalogueReader
{
public:
    CatalogueReader(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window)
        : m_hosts(hosts), m_options(options), m_window(window)
    {}

    void feed(std::string_view bytes)
    {
        // The LF of a CR LF whose CR ended the last chunk.
        if (m_afterCarriageReturn && !bytes.empty()) {
            if (bytes[0] == '\n')
                bytes.remove_prefix(1);
            m_afterCarriageReturn = false;
        }
        if (!m_partial.empty()) {
            size_t end = findLineEnd(bytes);
            if (end == std::string_view::npos) {
                m_partial.append(bytes);
                return;
            }
            m_partial.append(bytes.substr(0, end));
            readLine(m_partial);
            m_partial.clear();
            bytes = pastLineEnd(bytes, end);
        }
        for (;;) {
            size_t end = findLineEnd(bytes);
            if (end == std::string_view::npos)
                break;
            readLine(bytes.substr(0, end));
            bytes = pastLineEnd(bytes, end);
        }
        m_partial.assign(bytes);
    }

    void finish(bool readError)
    {
        // A last line without terminator is a line, unless a failed read cut it.
        if (!m_partial.empty() && !readError)
            readLine(m_partial);
        m_partial.clear();
        // The host being read when the read failed may have lost entries.
        if (m_current && !readError)
            m_hosts.push_back(std::move(m_current));
        m_current.reset();
    }

private:
    std::string_view pastLineEnd(std::string_view bytes, size_t end)
    {
        size_t length = 1;
        if (bytes[end] == '\r') {
            if (end + 1 == bytes.size())
                m_afterCarriageReturn = true;
            else if (bytes[end + 1] == '\n')
                length = 2;
        }
        return bytes.substr(end + length);
    }

    void addEntry(std::unique_ptr<CommandEntry> entry)
    {
        if (m_current)
            m_current->entries.push_back(std::move(entry));
    }

    void readLine(std::string_view line)
    {
        // One rest for the whole line: each test sees what the tests before
        // it left.
        Rest rest(line);
        if (rest.startsWith(kOptionsLine.prefix))
            readOptionsLine(rest, m_options, m_window);
        if (rest.startsWith(kHostLine.prefix)) {
            size_t entriesOfLast = 0;
            if (m_current) {
                entriesOfLast = m_current->entries.size();
                m_hosts.push_back(std::move(m_current));
            }
            m_current = readHostLine(rest);
            // Hosts in one file tend to have alike menus; guessing from the
            // last one saves most of the list's regrowth.
            m_current->entries.reserve(entriesOfLast);
        }
        forEachEntryLine([&](auto line) {
            if (rest.startsWith(line.layout.prefix))
                addEntry(readEntryLine<decltype(line)::layout>(rest));
        });
    }

    HostCatalogue& m_hosts;
    AppOptions& m_options;
    CatalogueWindow& m_window;
    std::unique_ptr<HostItem> m_current;
    std::string m_partial;
    bool m_afterCarriageReturn = false;
};

}  // namespace

void parseCatalogue(std::string_view bytes, HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                    bool readError)
{
    CatalogueReader reader(hosts, options, window);
    reader.feed(bytes);
    reader.finish(readError);
}

std::string formatCatalogue(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y)
{
    std::string out;
    out.reserve(estimatedSize(hosts, options));
    AppOptions written = options;
    written.windowX = x;
    written.windowY = y;
    appendLine<kOptionsLine>(out, written);
    for (const auto& host : hosts) {
        appendLine<kHostLine>(out, *host);
        for (const auto& entry : host->entries)
            appendEntryLine(out, *entry);
    }
    return out;
}

ReadStatus loadCatalogue(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window, FileStore& files,
                         const std::string& path)
{
    CatalogueReader reader(hosts, options, window);
    ReadStatus status = files.readChunks(path, [&](std::string_view chunk) { reader.feed(chunk); });
    if (status.opened)
        reader.finish(status.readError);
    return status;
}

bool saveCatalogue(const HostCatalogue& hosts, const AppOptions& options, CatalogueWindow& window,
                   const SaveReport& report, FileStore& files, const std::string& path)
{
    int32_t x = 0;
    int32_t y = 0;
    window.currentTopLeft(x, y);
    std::string bytes = formatCatalogue(hosts, options, x, y);
    std::string error;
    if (files.replaceAll(path, bytes, error))
        return true;
    if (report)
        report(saveFailureMessage(path, std::move(error)));
    return false;
}

std::string saveFailureMessage(const std::string& path, std::string reason)
{
    constexpr size_t kMaxReason = 255;
    if (reason.size() > kMaxReason)
        reason.resize(kMaxReason);
    return "Unable to save " + fileNamePart(path) + ": " + reason;
}

std::string backupFailureMessage(const std::string& path, const std::string& reason)
{
    const std::string name = fileNamePart(path);
    return name + " was saved, but its previous version could not be kept as " + name + kBackupSuffix + ": " + reason;
}

bool holdsSameCatalogue(std::string_view fileBytes, std::string_view programBytes, int32_t x, int32_t y, bool readError)
{
    if (fileBytes == programBytes)
        return true;
    HostCatalogue hosts;
    AppOptions options;
    NoCatalogueWindow nowhere;
    parseCatalogue(fileBytes, hosts, options, nowhere, readError);
    return formatCatalogue(hosts, options, options.windowX.value_or(x), options.windowY.value_or(y)) == programBytes;
}

}  // namespace qb
