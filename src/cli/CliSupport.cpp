#include "cli/Commands.h"

#include "catalogue/CatalogueFile.h"
#include "catalogue/FileStore.h"

#include <algorithm>
#include <iostream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace qb::cli {

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

#ifdef _WIN32
std::string convertCodePage(std::string_view text, UINT from, UINT to)
{
    int wideLength = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
    return out;
}
#else
// Windows-1252 at 0x80-0x9F; the five bytes it leaves undefined map to the
// C1 control of the same value, as Windows maps them. 0xA0-0xFF equal
// U+00A0-U+00FF.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at the start of text and its
// code point, or 0 when it is not one.
size_t utf8Sequence(std::string_view text, char32_t& c)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    size_t length = lead < 0x80             ? 1
                    : (lead & 0xE0) == 0xC0 ? 2
                    : (lead & 0xF0) == 0xE0 ? 3
                    : (lead & 0xF8) == 0xF0 ? 4
                                            : 0;
    if (length == 0 || length > text.size())
        return 0;
    c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

char ansiByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (size_t i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}
#endif

}  // namespace

ParsedArgs parseArgs(const Args& args, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flagOptions)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        // Short options ("-o") are options only where the command names them:
        // "-" and other words starting with one dash stay file names.
        bool named = contains(valueOptions, word) || contains(flagOptions, word);
        if (optionsEnded || (!named && (word.size() < 2 || word.compare(0, 2, "--") != 0))) {
            parsed.positional.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (contains(valueOptions, word)) {
            if (i + 1 == args.size())
                throw CliError("option " + word + " needs a value");
            parsed.values[word] = args[++i];
        } else if (contains(flagOptions, word)) {
            parsed.flags.insert(word);
        } else {
            throw CliError("unknown option " + word);
        }
    }
    return parsed;
}

std::string fileArgument(const ParsedArgs& parsed, size_t index)
{
    if (parsed.positional.size() > index + 1)
        throw CliError("unexpected argument \"" + parsed.positional[index + 1] + "\"");
    if (parsed.positional.size() == index + 1)
        return parsed.positional[index];
    return kCatalogueFileName;
}

LoadedCatalogue loadCatalogueFile(const std::string& path, IfMissing ifMissing, const std::string& whyMissing,
                                  ReadLock readLock)
{
    LoadedCatalogue loaded;
    std::string error;
    std::unique_ptr<FileStore::Lock> lock;
    if (readLock == ReadLock::Shared && !(lock = platformFileStore().lock(path, FileStore::LockMode::Shared, error)))
        throw CliError("cannot read " + path + ": " + error);
    FileReadResult file = platformFileStore().readAll(path);
    lock.reset();
    if (file.missing) {
        if (ifMissing == IfMissing::Refuse)
            throw CliError(path + " not found" + whyMissing);
        std::cerr << "quillbank-cli: " << path << " not found: the empty catalogue with default options\n";
        return loaded;
    }
    if (!file.opened)
        throw CliError("cannot read " + path + ": " + file.error);
    if (file.readError)
        throw CliError("cannot read " + path + " to its end: " + file.error);
    loaded.found = true;
    NoCatalogueWindow window;
    parseCatalogue(file.bytes, loaded.hosts, loaded.options, window);
    loaded.bytes = std::move(file.bytes);
    return loaded;
}

std::string ansiToUtf8(std::string_view text)
{
    bool plain = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (plain)
        return std::string(text);
#ifdef _WIN32
    // The system's code page, as the program itself sees the bytes.
    return convertCodePage(text, CP_ACP, CP_UTF8);
#else
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte < 0x80 ? char32_t{byte} : byte < 0xA0 ? kCp1252High[byte - 0x80] : char32_t{byte});
    }
    return out;
#endif
}

std::string terminalToAnsi(std::string_view text, TerminalText source)
{
    bool plain = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (plain)
        return std::string(text);
#ifdef _WIN32
    UINT codePage = source == TerminalText::Typed ? GetConsoleCP() : CP_ACP;
    if (codePage == 0 || codePage == GetACP())
        return std::string(text);
    return convertCodePage(text, codePage, CP_ACP);
#else
    (void)source;
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        size_t length = utf8Sequence(text.substr(i), c);
        if (length == 0) {
            out += text[i++];
            continue;
        }
        i += length;
        out += ansiByte(c);
    }
    return out;
#endif
}

void printJson(const nlohmann::ordered_json& value)
{
    std::cout << value.dump(2) << '\n';
    std::cout.flush();
}

}  // namespace qb::cli
