#include "cli/Commands.h"

#include "catalogue/CatalogueFile.h"
#include "catalogue/FileStore.h"
#include "import/ImportText.h"

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

LoadedCatalogue loadCatalogueFile(const std::string& path, IfMissing ifMissing, const std::string& whyMissing)
{
    LoadedCatalogue loaded;
    FileReadResult file = platformFileStore().readAll(path);
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
        bool lost = false;
        out += unicodeToAnsi(std::u32string_view(&c, 1), lost);
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
