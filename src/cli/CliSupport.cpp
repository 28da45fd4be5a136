#include "cli/Commands.h"

#include "app/CatalogueSession.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue/FileStore.h"
#include "catalogue/TextRules.h"
#include "import/ImportText.h"
#include "launch/RememberedPasswords.h"
#include "launch/RunCommand.h"
#include "launch/Secrets.h"
#include "platform/SystemServices.h"

#include <algorithm>
#include <iostream>

#ifdef _WIN32
#include "handles/WideText.h"

#include <windows.h>
#include <io.h>
#include "platform/win32/Shell.h"
#else
#include <termios.h>
#include <unistd.h>
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
    return win::fromWide(win::toWide(text, from), to);
}
#endif

bool stdinIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

// Turns terminal echo off for as long as it lives.
class NoEcho
{
public:
    NoEcho()
    {
#ifdef _WIN32
        m_input = GetStdHandle(STD_INPUT_HANDLE);
        m_active = GetConsoleMode(m_input, &m_mode) != 0 &&
                   SetConsoleMode(m_input, m_mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != 0;
#else
        m_active = tcgetattr(STDIN_FILENO, &m_mode) == 0;
        if (m_active) {
            termios quiet = m_mode;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
        }
#endif
    }
    ~NoEcho()
    {
        if (!m_active)
            return;
#ifdef _WIN32
        SetConsoleMode(m_input, m_mode);
#else
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_mode);
#endif
        std::cerr << '\n';
    }
    NoEcho(const NoEcho&) = delete;
    NoEcho& operator=(const NoEcho&) = delete;

private:
    bool m_active = false;
#ifdef _WIN32
    HANDLE m_input = nullptr;
    DWORD m_mode = 0;
#else
    termios m_mode{};
#endif
};

// The user at the terminal: asked on stderr, answering on stdin; no
// terminal gives no answer.
class TerminalUser final : public LaunchPrompts, public MessageBoxes
{
public:
    void tell(const std::string& text) override { std::cerr << "quillbank-cli: " << text << '\n'; }
    Answer ask(const std::string& question, Question) override
    {
        const auto answer = typed(question + "\n[y/N] ", false);
        if (!answer)
            return Answer::None;
        return *answer == "y" || *answer == "Y" || *answer == "yes" ? Answer::Yes : Answer::No;
    }
    bool confirmRun(const std::string& text) override { return ask(text, Question::YesFirst) == Answer::Yes; }
    std::optional<std::string> askUserInput() override { return typed("User Input: ", false); }
    bool askPassword(const PasswordPrompt&, PasswordAnswer& answer) override
    {
        std::optional<std::string> password = typed("Password Input: ", true);
        if (!password)
            return false;
        answer.text.assign(*password);
        wipeSecret(*password);
        return true;
    }

private:
    static std::optional<std::string> typed(const std::string& question, bool hidden)
    {
        auto line = askTerminal(question, hidden);
        if (!line)
            return std::nullopt;
        std::string text = terminalToAnsi(*line, TerminalText::Typed);
        wipeSecret(*line);
        return text;
    }
};

// The console companion keeps no passwords and looks none up: it never
// touches the user's credentials, and its launches always ask.
class NoPasswordMemory final : public SecretStore, public ProgramFinder
{
public:
    Status read(const std::string&, RememberedPassword&, std::string&) override { return Status::NotFound; }
    bool write(const RememberedPassword&, std::string& error) override
    {
        error = kNotKept;
        return false;
    }
    bool list(const std::string&, std::vector<RememberedPassword>&, std::string&) override { return true; }
    bool remove(const std::string&, std::string& error) override
    {
        error = kNotKept;
        return false;
    }
    Place find(const std::string&) override { return Place::NotFound; }

private:
    static constexpr const char* kNotKept = "quillbank-cli keeps no passwords";
};

#ifdef _WIN32
// No window owns what the shell shows.
const HWND kNoOwner = nullptr;
#else
// Never reached: compose refuses --launch here before anything is read.
class NoShell final : public Shell
{
public:
    void execute(const ShellCall&) override
    {
        throw CliError("--launch needs Windows: the shell that starts the command is not here");
    }
};
#endif

}  // namespace

struct ConsoleServices::Parts {
    SystemServices system = makeSystemServices();
    TerminalUser user;
    NoPasswordMemory noPasswords;
#ifdef _WIN32
    SystemShell shell{kNoOwner};
#else
    NoShell shell;
#endif
};

ConsoleServices::ConsoleServices()
    : m_parts(std::make_unique<Parts>()),
      m_services(std::make_unique<Services>(Services{*m_parts->system.files, *m_parts->system.browsers,
                                                     *m_parts->system.directory, *m_parts->system.links,
                                                     *m_parts->system.settings, m_parts->shell, m_parts->user,
                                                     m_parts->user, m_parts->noPasswords, m_parts->noPasswords}))
{}

ConsoleServices::~ConsoleServices() = default;

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
        if (optionsEnded || (!named && (word.size() < 2 || !startsWith(word, "--")))) {
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

LoadedCatalogue loadedFrom(Services& services, const std::string& path, FileReadResult file, IfMissing ifMissing,
                           const std::string& whyMissing)
{
    LoadedCatalogue loaded;
    if (file.missing) {
        if (ifMissing == IfMissing::Refuse)
            throw CliError(path + " not found" + whyMissing);
        if (ifMissing == IfMissing::ReadAsEmpty)
            services.messages.tell(path + " not found: the empty catalogue with default options");
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

LoadedCatalogue loadCatalogueFile(Services& services, const std::string& path, IfMissing ifMissing,
                                  const std::string& whyMissing, ReadLock readLock)
{
    return loadedFrom(services, path,
                      readLock == ReadLock::Shared ? readLocked(services.files, path) : services.files.readAll(path),
                      ifMissing, whyMissing);
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

std::optional<std::string> askTerminal(const std::string& question, bool hidden)
{
    if (!stdinIsTerminal())
        return std::nullopt;
    // Echo goes off before the question shows: turning it off discards
    // what was typed before, which must not be the answer.
    std::optional<NoEcho> quiet;
    if (hidden)
        quiet.emplace();
    std::cerr << question << std::flush;
    std::string line;
    bool read = static_cast<bool>(std::getline(std::cin, line));
    quiet.reset();
    if (!read)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

void printJson(const nlohmann::ordered_json& value)
{
    std::cout << value.dump(2) << '\n';
    std::cout.flush();
}

}  // namespace qb::cli
