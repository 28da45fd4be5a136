#include "catalogue/CatalogueFile.h"

#include "catalogue/TextRules.h"

#include <charconv>
#include <cstring>

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

    bool startsWith(std::string_view prefix) const { return m_rest.substr(0, prefix.size()) == prefix; }

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

void readOptionsLine(Rest& rest, AppOptions& options, CatalogueWindow& window)
{
    rest.drop(3);
    int32_t x = readNumber(rest.view());
    rest.skipPastClose();
    int32_t y = readNumber(rest.view());
    rest.skipPastClose();
    options.alternateBrowserPath.assign(rest.textUpToTag());
    rest.skipPastClose();
    options.rdpWidth = readNumber(rest.textUpToTag());
    rest.skipPastClose();
    options.rdpHeight = readNumber(rest.textUpToTag());
    if (rest.contains("<HIDE>")) {
        options.hideTaskbarButton = true;
        window.dropTaskbarButton();
    }
    if (options.rdpWidth == 0)
        options.rdpWidth = kDefaultRdpWidth;
    if (options.rdpHeight == 0)
        options.rdpHeight = kDefaultRdpHeight;
    if (options.alternateBrowserPath.empty())
        options.alternateBrowserPath = kDefaultAlternateBrowser;
    options.windowX = x;
    options.windowY = y;
    window.moveTopLeftTo(x, y);
}

std::unique_ptr<HostItem> readHostLine(Rest& rest)
{
    auto host = newHost();
    host->title.assign(Rest::upToTag(rest.view().substr(6)));
    // Each tag is looked for only where it should stand: a missing one makes
    // the skips run past the next one too.
    rest.skipToNextTag();
    if (rest.startsWith("<HOST>"))
        host->hostName.assign(Rest::upToTag(rest.view().substr(6)));
    rest.skipToNextTag();
    if (rest.startsWith("<ICON>"))
        host->icon = readNumber(rest.view().substr(6));
    rest.skipToNextTag();
    if (rest.startsWith("<COL>"))
        host->colour = readNumber(rest.view().substr(5));
    return host;
}

std::unique_ptr<CommandEntry> readCommandLine(Rest& rest)
{
    auto entry = newEntry();
    rest.drop(8);
    entry->name.assign(rest.textUpToTag());
    rest.skipPastClose();
    entry->program.assign(rest.textUpToTag());
    rest.skipPastClose();
    entry->params.assign(rest.textUpToTag());
    rest.skipPastClose();
    entry->icon = readNumber(rest.textUpToTag());
    rest.skipPastClose();
    entry->confirm = readNumber(rest.view()) == 1;
    rest.skipPastClose();
    entry->bold = readNumber(rest.view()) == 1;
    entry->kind = CustomCommand;
    if (entry->name == "-") {
        entry->name.clear();
        entry->kind = Separator;
    }
    return entry;
}

std::unique_ptr<CommandEntry> readTemplateLine(Rest& rest)
{
    auto entry = newEntry();
    rest.drop(11);
    // The number after "<WINDOWS>" is always written as 1 and means nothing.
    rest.skipPastClose();
    entry->templateHost.assign(rest.textUpToTag());
    rest.skipPastClose();
    entry->drives.assign(rest.textUpToTag());
    rest.skipPastClose();
    entry->icon = readNumber(rest.view());
    entry->kind = WindowsTemplate;
    return entry;
}

std::unique_ptr<CommandEntry> readUrlLine(Rest& rest)
{
    auto entry = newEntry();
    rest.drop(7);
    entry->url.assign(rest.textUpToTag());
    rest.skipPastClose();
    entry->urlName.assign(rest.textUpToTag());
    rest.skipPastClose();
    // Compared as text: only exactly "1" sets the flag.
    entry->alternateBrowser = rest.textUpToTag() == "1";
    rest.skipPastClose();
    entry->icon = readNumber(rest.view());
    entry->kind = Url;
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

void appendEntryLine(std::string& out, const CommandEntry& entry)
{
    switch (entry.kind) {
    case CustomCommand:
        out += "  <NAME>";
        out += entry.name;
        out += "<RUN>";
        out += entry.program;
        out += "<PARAMS>";
        out += entry.params;
        out += "<IICON>";
        appendNumber(out, entry.icon);
        out += "<CONFIRM>";
        appendFlag(out, entry.confirm);
        out += "<BOLD>";
        appendFlag(out, entry.bold);
        break;
    case WindowsTemplate:
        out += "  <WINDOWS>1<P1>";
        out += entry.templateHost;
        out += "<P2>";
        out += entry.drives;
        out += "<IICON>";
        appendNumber(out, entry.icon);
        break;
    case Separator: out += "  <SEP>"; break;
    case Url:
        out += "  <URL>";
        out += entry.url;
        out += "<NAME>";
        out += entry.urlName;
        out += "<ALT>";
        appendFlag(out, entry.alternateBrowser);
        out += "<IICON>";
        appendNumber(out, entry.icon);
        break;
    default:
        // A kind the file has no line for: writing nothing keeps the rest of
        // the file readable.
        return;
    }
    out += "\r\n";
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

std::string fileNamePart(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
        if (rest.startsWith("<X>"))
            readOptionsLine(rest, m_options, m_window);
        if (rest.startsWith("<ITEM>")) {
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
        if (rest.startsWith("  <NAME>"))
            addEntry(readCommandLine(rest));
        if (rest.startsWith("  <WINDOWS>"))
            addEntry(readTemplateLine(rest));
        if (rest.startsWith("  <SEP>")) {
            auto entry = newEntry();
            entry->kind = Separator;
            addEntry(std::move(entry));
        }
        if (rest.startsWith("  <URL>"))
            addEntry(readUrlLine(rest));
    }

    HostCatalogue& m_hosts;
    AppOptions& m_options;
    CatalogueWindow& m_window;
    std::unique_ptr<HostItem> m_current;
    std::string m_partial;
    bool m_afterCarriageReturn = false;
};

}  // namespace

size_t findLineEnd(std::string_view bytes, size_t from)
{
    // Two scans of memchr speed, the second no longer than the line.
    size_t lineFeed = bytes.find('\n', from);
    size_t limit = lineFeed == std::string_view::npos ? bytes.size() : lineFeed;
    if (from >= limit)
        return lineFeed;
    const void* carriageReturn = std::memchr(bytes.data() + from, '\r', limit - from);
    return carriageReturn ? static_cast<size_t>(static_cast<const char*>(carriageReturn) - bytes.data()) : lineFeed;
}

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
    out += "<X>";
    appendNumber(out, x);
    out += "<Y>";
    appendNumber(out, y);
    out += "<BROWSER>";
    out += options.alternateBrowserPath;
    out += "<RDPX>";
    appendNumber(out, options.rdpWidth);
    out += "<RPDY>";
    appendNumber(out, options.rdpHeight);
    if (options.hideTaskbarButton)
        out += "<HIDE>";
    out += "<END>\r\n";
    for (const auto& host : hosts) {
        out += "<ITEM>";
        out += host->title;
        out += "<HOST>";
        out += host->hostName;
        out += "<ICON>";
        appendNumber(out, host->icon);
        out += "<COL>";
        appendNumber(out, host->colour);
        out += "\r\n";
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
    constexpr size_t kMaxReason = 255;
    if (error.size() > kMaxReason)
        error.resize(kMaxReason);
    if (report)
        report("Unable to save " + fileNamePart(path) + ": " + error);
    return false;
}

}  // namespace qb
