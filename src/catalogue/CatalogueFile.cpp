#include "catalogue/CatalogueFile.h"

#include "catalogue/CatalogueLines.h"
#include "catalogue/TextRules.h"

#include <algorithm>
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
        size_t close = findByte(m_rest, '>');
        if (close != std::string_view::npos)
            m_rest.remove_prefix(close + 1);
    }

    // The "<" at position 0 is the tag just read, so the search starts at 1.
    void skipToNextTag()
    {
        size_t open = findByte(m_rest, '<', 1);
        if (open != std::string_view::npos)
            m_rest.remove_prefix(open);
    }

    // A value is only ever ended by the next tag: a rest without "<" holds
    // no complete value and gives the empty text.
    std::string_view textUpToTag() const { return upToTag(m_rest); }

    static std::string_view upToTag(std::string_view text)
    {
        size_t open = findByte(text, '<');
        return open == std::string_view::npos ? std::string_view() : text.substr(0, open);
    }

private:
    std::string_view m_rest;
};

// A field of a record kept by member (the options, a host) or by place (an
// entry in its host's list), so that one reader and one writer serve both.
template <class Record>
std::string_view textOf(const Record& record, const RecordField<Record>& field)
{
    return record.*field.text;
}

std::string_view textOf(const EntryView& entry, const RecordField<CommandEntry>& field)
{
    return entry.text(field.rank);
}

template <class Record>
int32_t numberOf(const Record& record, const RecordField<Record>& field)
{
    return field.position ? (record.*field.position).value_or(0) : record.*field.number;
}

int32_t numberOf(const EntryView& entry, const RecordField<CommandEntry>& field)
{
    return entry.number(field.rank);
}

template <class Record>
bool flagOf(const Record& record, const RecordField<Record>& field)
{
    return record.*field.flag;
}

bool flagOf(const EntryView& entry, const RecordField<CommandEntry>& field)
{
    return entry.flag(field.rank);
}

template <class Record>
void setText(Record& record, const RecordField<Record>& field, std::string_view value)
{
    (record.*field.text).assign(value);
}

void setText(EntryList::Appender& entry, const RecordField<CommandEntry>& field, std::string_view value)
{
    entry.text(field.rank, value);
}

template <class Record>
void setNumber(Record& record, const RecordField<Record>& field, int32_t value)
{
    if (field.position)
        record.*field.position = value;
    else
        record.*field.number = value;
}

void setNumber(EntryList::Appender& entry, const RecordField<CommandEntry>& field, int32_t value)
{
    entry.number(field.rank, value);
}

template <class Record>
void setFlag(Record& record, const RecordField<Record>& field, bool value)
{
    record.*field.flag = value;
}

void setFlag(EntryList::Appender& entry, const RecordField<CommandEntry>& field, bool value)
{
    entry.flag(field.rank, value);
}

// An entry's texts go into its list in rank order, as they are read.
template <const auto& Layout>
constexpr bool textsInRankOrder()
{
    int last = -1;
    for (size_t i = 0; i < Layout.fieldCount; ++i) {
        const auto* field = Layout.fields[i].field;
        if (field && field->type == FieldType::Text) {
            if (field->rank <= last)
                return false;
            last = field->rank;
        }
    }
    return true;
}

// The reader and the writer below are templates on the layout so that each
// line type's code is as direct as if its tags were written out: loading and
// saving large catalogues must not pay for the table.

// Reads the value that starts the rest; the rest stays where it is.
template <const auto& Layout, size_t I, class Record>
void readValue(const Rest& rest, Record& record)
{
    constexpr const auto& tag = Layout.fields[I];
    if constexpr (tag.kind == FieldKind::Text)
        setText(record, *tag.field, rest.textUpToTag());
    else if constexpr (tag.kind == FieldKind::Number)
        setNumber(record, *tag.field, readNumber(rest.textUpToTag()));
    else if constexpr (tag.kind == FieldKind::NumberToEnd)
        setNumber(record, *tag.field, readNumber(rest.view()));
    else if constexpr (tag.kind == FieldKind::TextFlag)
        setFlag(record, *tag.field, rest.textUpToTag() == "1");
    else if constexpr (tag.kind == FieldKind::NumberFlag)
        setFlag(record, *tag.field, readNumber(rest.view()) == 1);
}

// Field I of a line the rest started with. Markers only ever set their flag,
// and say so through marked.
template <const auto& Layout, size_t I, class Record>
void readField(Rest& rest, Record& record, bool& marked)
{
    constexpr const auto& field = Layout.fields[I];
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
            setFlag(record, *field.field, true);
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
        if (!layout.fields[i].emptyIsDefault)
            continue;
        const RecordField<Record>& field = *layout.fields[i].field;
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
void readEntryLine(Rest& rest, EntryList& entries)
{
    static_assert(textsInRankOrder<Layout>());
    EntryList::Appender entry = entries.append(Layout.entryKind);
    // A line without values (the separator) leaves the rest as it is, so
    // nothing after its tag is tried as another line.
    if constexpr (Layout.fieldCount > 0)
        readFields<Layout>(rest, entry);
    if constexpr (Layout.type == LineType::Custom) {
        if (entries.back().name() == kSeparatorName) {
            entries.update(entries.size() - 1, [](CommandEntry& separator) {
                separator.name.clear();
                separator.kind = Separator;
            });
        }
    }
}

// The writer puts each host's lines straight into room made for them
// beforehand: a check for room per value would cost more than the copying.
// A line's room is its texts and the most its other values can take.
constexpr size_t kMostDigits = 11;  // "-2147483648"

template <class Record>
constexpr size_t mostBesidesTexts(const LineLayout<Record>& layout)
{
    size_t most = layout.prefix.size() + layout.end.size() + 2;
    for (size_t i = 0; i < layout.fieldCount; ++i) {
        const TagField<Record>& tag = layout.fields[i];
        most += tag.tag.size();
        if (tag.kind == FieldKind::Number || tag.kind == FieldKind::NumberToEnd)
            most += kMostDigits;
        else if (tag.kind != FieldKind::Text && tag.kind != FieldKind::Marker)
            most += 1;
    }
    return most;
}

constexpr size_t kMostEntryLineBesidesTexts = std::max({mostBesidesTexts(kCustomLine), mostBesidesTexts(kTemplateLine),
                                                        mostBesidesTexts(kSeparatorLine), mostBesidesTexts(kUrlLine)});

size_t mostForOptions(const AppOptions& options)
{
    return mostBesidesTexts(kOptionsLine) + options.alternateBrowserPath.size();
}

// An entry's texts in its list take at least as many bytes as on its line.
size_t mostForHost(const HostItem& host)
{
    return mostBesidesTexts(kHostLine) + host.title.size() + host.hostName.size() +
           host.entries.size() * kMostEntryLineBesidesTexts + host.entries.textBytes();
}

char* put(char* at, std::string_view text)
{
    if (!text.empty())
        std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

template <const auto& Layout, size_t I, class Record>
char* putField(char* at, const Record& record)
{
    constexpr const auto& tag = Layout.fields[I];
    if constexpr (tag.kind == FieldKind::Marker)
        return flagOf(record, *tag.field) ? put(at, tag.tag) : at;
    if constexpr (!tag.tag.empty())
        at = put(at, tag.tag);
    if constexpr (tag.kind == FieldKind::Text) {
        return put(at, textOf(record, *tag.field));
    } else if constexpr (tag.kind == FieldKind::One) {
        *at = '1';
        return at + 1;
    } else if constexpr (tag.kind == FieldKind::TextFlag || tag.kind == FieldKind::NumberFlag) {
        *at = flagOf(record, *tag.field) ? '1' : '0';
        return at + 1;
    } else {
        return std::to_chars(at, at + kMostDigits, numberOf(record, *tag.field)).ptr;
    }
}

template <const auto& Layout, class Record, size_t... I>
char* putLine(char* at, const Record& record, std::index_sequence<I...>)
{
    at = put(at, Layout.prefix);
    ((at = putField<Layout, I>(at, record)), ...);
    if constexpr (!Layout.end.empty())
        at = put(at, Layout.end);
    return put(at, "\r\n");
}

template <const auto& Layout, class Record>
char* putLine(char* at, const Record& record)
{
    return putLine<Layout>(at, record, std::make_index_sequence<Layout.fieldCount>());
}

char* putEntryLine(char* at, const EntryView& entry)
{
    // A kind the file has no line for writes nothing, which keeps the rest
    // of the file readable.
    forEachEntryLine([&](auto line) {
        if (entry.kind() == line.layout.entryKind)
            at = putLine<decltype(line)::layout>(at, entry);
    });
    return at;
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
            endHost();
        m_current.reset();
    }

private:
    void endHost()
    {
        // A guess from the host before may have been too large.
        m_current->entries.trimSpare();
        m_hosts.push_back(std::move(m_current));
    }

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

    // Entry lines before the first host are read, since what they leave of
    // the line decides which other line types it matches, but not kept.
    EntryList& entriesOfCurrent()
    {
        if (m_current)
            return m_current->entries;
        m_orphans.clear();
        return m_orphans;
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
            size_t textsOfLast = 0;
            if (m_current) {
                entriesOfLast = m_current->entries.size();
                textsOfLast = m_current->entries.textBytes();
                endHost();
            }
            m_current = readHostLine(rest);
            // Hosts in one file tend to have alike menus; guessing from the
            // last one saves most of the lists' regrowth.
            m_current->entries.reserve(entriesOfLast, textsOfLast);
        }
        forEachEntryLine([&](auto line) {
            if (rest.startsWith(line.layout.prefix))
                readEntryLine<decltype(line)::layout>(rest, entriesOfCurrent());
        });
    }

    HostCatalogue& m_hosts;
    AppOptions& m_options;
    CatalogueWindow& m_window;
    std::unique_ptr<HostItem> m_current;
    EntryList m_orphans;
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

CatalogueFormatter::CatalogueFormatter(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y)
    : m_hosts(hosts), m_options(options)
{
    m_options.windowX = x;
    m_options.windowY = y;
}

// Room for most more bytes after used: the piece grows as a vector does up
// to its usual size, and beyond it only for one host that needs more. False
// when the piece is full.
bool CatalogueFormatter::makeRoom(size_t used, size_t most)
{
    // Small enough to stay in the processor's cache between being made and
    // being written; large enough that a write per piece costs little.
    constexpr size_t kPieceBytes = size_t{256} << 10;
    if (m_piece.size() - used >= most)
        return true;
    if (used > 0 && m_piece.size() >= kPieceBytes)
        return false;
    m_piece.resize(std::max(used + most, std::min(kPieceBytes, 2 * m_piece.size())));
    return true;
}

std::string_view CatalogueFormatter::next()
{
    size_t used = 0;
    if (!m_started) {
        m_started = true;
        makeRoom(used, mostForOptions(m_options));
        used = static_cast<size_t>(putLine<kOptionsLine>(m_piece.data(), m_options) - m_piece.data());
    }
    for (; m_next < m_hosts.size(); ++m_next) {
        const HostItem& host = *m_hosts[m_next];
        if (!makeRoom(used, mostForHost(host)))
            break;
        char* at = putLine<kHostLine>(m_piece.data() + used, host);
        for (EntryView entry : host.entries)
            at = putEntryLine(at, entry);
        used = static_cast<size_t>(at - m_piece.data());
    }
    return {m_piece.data(), used};
}

std::string formatCatalogue(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y)
{
    CatalogueFormatter formatter(hosts, options, x, y);
    return allBytes(formatter);
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
    CatalogueFormatter bytes(hosts, options, x, y);
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

bool holdsSameCatalogue(std::string_view fileBytes, const HostCatalogue& hosts, const AppOptions& options, int32_t x,
                        int32_t y)
{
    CatalogueFormatter program(hosts, options, x, y);
    if (sameBytes(program, fileBytes))
        return true;
    HostCatalogue read;
    AppOptions readOptions;
    NoCatalogueWindow nowhere;
    parseCatalogue(fileBytes, read, readOptions, nowhere);
    CatalogueFormatter file(read, readOptions, readOptions.windowX.value_or(x), readOptions.windowY.value_or(y));
    CatalogueFormatter again(hosts, options, x, y);
    return sameBytes(file, again);
}

}  // namespace qb
