// menu and compose: a host's menu as the program builds it, and what picking
// one of its items would do, with the prompts answered from the command line.
#include "cli/Commands.h"

#include "launch/HostMenu.h"
#include "launch/RunCommand.h"
#include "launch/Secrets.h"

#include <iostream>
#include <optional>

namespace qb::cli {

namespace {

using Json = nlohmann::ordered_json;

const char kIndexOption[] = "--index";
const char kBrowserOption[] = "--default-browser";

// The browser named on the command line, or else the system's.
class CommandLineBrowser final : public BrowserSource
{
public:
    CommandLineBrowser(const ParsedArgs& parsed, BrowserSource& system) : m_system(system)
    {
        const auto given = parsed.values.find(kBrowserOption);
        if (given != parsed.values.end())
            m_given = given->second;
    }
    std::string registeredCommand() override { return m_given ? *m_given : m_system.registeredCommand(); }

private:
    BrowserSource& m_system;
    std::optional<std::string> m_given;
};

int parseInteger(const std::string& text, const char* what)
{
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw CliError(std::string(what) + " must be a number, not \"" + text + "\"");
    return value;
}

// HOST is the first positional word (a title), or --index N and no word.
const HostItem* chooseHost(const HostCatalogue& hosts, const ParsedArgs& parsed)
{
    const auto index = parsed.values.find(kIndexOption);
    if (index != parsed.values.end()) {
        const int n = parseInteger(index->second, "--index");
        if (n < 0 || static_cast<std::size_t>(n) >= hosts.size())
            throw CliError("no host at index " + index->second + " (the catalogue has " + std::to_string(hosts.size()) +
                           ")");
        return hosts[static_cast<std::size_t>(n)].get();
    }
    const std::string& title = parsed.positional[0];
    // The terminal's text may be UTF-8 while the file's is the ANSI code page.
    for (const auto& host : hosts) {
        if (host->title == title || ansiToUtf8(host->title) == title)
            return host.get();
    }
    throw CliError("no host titled \"" + title + "\"");
}

// Checked before the file is read, so that a usage error is the only message.
std::size_t hostWords(const ParsedArgs& parsed)
{
    if (parsed.values.count(kIndexOption))
        return 0;
    if (parsed.positional.empty())
        throw CliError("missing HOST (a title, or --index N)");
    return 1;
}

// A missing file has no host to pick. With --index no title is given, so a
// title typed all the same stands where FILE goes: say so in the one line.
LoadedCatalogue loadForHost(Services& services, const ParsedArgs& parsed, std::size_t fileWord)
{
    const bool fileGiven = parsed.positional.size() > fileWord;
    const bool byIndex = parsed.values.count(kIndexOption) != 0;
    return loadCatalogueFile(services, fileArgument(parsed, fileWord), IfMissing::Refuse,
                             byIndex && fileGiven ? " (with --index, this word is FILE, not a HOST title)" : "");
}

Json itemsJson(const std::vector<HostMenuItem>& items)
{
    Json out = Json::array();
    for (const HostMenuItem& item : items) {
        Json one;
        switch (item.type) {
        case MenuItemType::Command:
            one["type"] = "command";
            one["id"] = item.id;
            one["text"] = ansiToUtf8(item.text);
            one["bold"] = item.bold;
            one["image"] = item.image;
            one["program"] = ansiToUtf8(item.program);
            one["params"] = ansiToUtf8(item.params);
            one["confirm"] = item.confirm;
            break;
        case MenuItemType::Separator: one["type"] = "separator"; break;
        case MenuItemType::Submenu:
            one["type"] = "submenu";
            one["text"] = ansiToUtf8(item.text);
            one["bold"] = item.bold;
            one["image"] = item.labelImage ? Json(*item.labelImage) : Json(nullptr);
            one["items"] = itemsJson(item.items);
            break;
        }
        out.push_back(std::move(one));
    }
    return out;
}

// The answers come from the options; a missing one is asked on the
// terminal, and with no terminal it counts as No or Cancel. Text from
// either is turned into the ANSI code page that the catalogue's text is in.
class CommandLinePrompts final : public LaunchPrompts
{
public:
    CommandLinePrompts(const ParsedArgs& parsed, LaunchPrompts& terminal) : m_terminal(terminal)
    {
        if (parsed.flags.count("--yes"))
            m_yes = true;
        else if (parsed.flags.count("--no"))
            m_yes = false;
        const auto input = parsed.values.find("--input");
        if (input != parsed.values.end())
            m_input = terminalToAnsi(input->second, TerminalText::Argument);
        const auto password = parsed.values.find("--password");
        if (password != parsed.values.end())
            m_password = terminalToAnsi(password->second, TerminalText::Argument);
    }
    ~CommandLinePrompts() override
    {
        if (m_password)
            wipeSecret(*m_password);
    }
    CommandLinePrompts(const CommandLinePrompts&) = delete;
    CommandLinePrompts& operator=(const CommandLinePrompts&) = delete;

    bool confirmRun(const std::string& text) override
    {
        confirmation = text;
        if (!m_yes)
            m_yes = m_terminal.confirmRun(text);
        return *m_yes;
    }
    std::optional<std::string> askUserInput() override
    {
        prompts.push_back("User Input");
        if (!m_input)
            m_input = m_terminal.askUserInput();
        return m_input;
    }
    bool askPassword(const PasswordPrompt& prompt, PasswordAnswer& answer) override
    {
        prompts.push_back("Password Input");
        if (m_password) {
            answer.text.assign(*m_password);
            return true;
        }
        const bool given = m_terminal.askPassword(prompt, answer);
        passwordGiven = passwordGiven || given;
        return given;
    }

    // The same answers again, with "***" for the password, so that the run
    // can be shown without it.
    void hidePassword()
    {
        if (m_password)
            wipeSecret(*m_password);
        m_password = std::string(kHiddenPassword);
        confirmation.reset();
        prompts.clear();
    }

    static constexpr const char* kHiddenPassword = "***";
    std::optional<std::string> confirmation;
    std::vector<std::string> prompts;
    bool passwordGiven = false;

private:
    LaunchPrompts& m_terminal;
    std::optional<bool> m_yes;
    std::optional<std::string> m_input;
    std::optional<std::string> m_password;
};

// Describes the call and, given the shell to launch with (--launch), makes
// it for real.
class DescribingShell final : public Shell
{
public:
    explicit DescribingShell(Shell* launcher) : m_launcher(launcher) {}

    void execute(const ShellCall& call) override
    {
        Json out;
        out["owner"] = call.ownerIsMainWindow ? Json("main window") : Json(nullptr);
        out["verb"] = call.verb ? Json(ansiToUtf8(*call.verb)) : Json(nullptr);
        out["file"] = ansiToUtf8(call.file);
        out["parameters"] = ansiToUtf8(call.parameters);
        out["directory"] = call.directory ? Json(ansiToUtf8(*call.directory)) : Json(nullptr);
        out["show"] = call.show;
        described = std::move(out);
        if (m_launcher)
            m_launcher->execute(call);
    }

    Json described = nullptr;

private:
    Shell* m_launcher;
};

}  // namespace

int menuCommand(const Args& args, Services& services)
{
    const ParsedArgs parsed = parseArgs(args, {kIndexOption, kBrowserOption});
    // FILE follows HOST, so the host's words are counted before the file is known.
    const LoadedCatalogue loaded = loadForHost(services, parsed, hostWords(parsed));
    const HostItem& host = *chooseHost(loaded.hosts, parsed);

    CommandLineBrowser browsers(parsed, services.browsers);
    CommandSlots slots;
    CommandImages images{};
    const HostMenu menu = buildHostMenu(host, loaded.options, browsers, slots, images);

    Json out;
    out["host"] = ansiToUtf8(host.title);
    out["items"] = itemsJson(menu.items);
    printJson(out);
    return 0;
}

int composeCommand(const Args& args, Services& services)
{
    const ParsedArgs parsed =
        parseArgs(args, {kIndexOption, kBrowserOption, "--input", "--password"}, {"--yes", "--no", "--launch"});
    if (parsed.flags.count("--yes") && parsed.flags.count("--no"))
        throw CliError("--yes and --no exclude each other");
    const bool launch = parsed.flags.count("--launch") != 0;
#ifndef _WIN32
    if (launch)
        throw CliError("--launch needs Windows: the shell that starts the command is not here");
#endif
    const std::size_t idWord = hostWords(parsed);
    if (parsed.positional.size() < idWord + 1)
        throw CliError("missing ID (the menu item's command id)");
    const int id = parseInteger(parsed.positional[idWord], "ID");
    const LoadedCatalogue loaded = loadForHost(services, parsed, idWord + 1);
    const HostItem& host = *chooseHost(loaded.hosts, parsed);

    CommandLineBrowser browsers(parsed, services.browsers);
    CommandSlots slots;
    CommandImages images{};
    const HostMenu menu = buildHostMenu(host, loaded.options, browsers, slots, images);
    if (!findCommand(menu, id))
        throw CliError("the menu of \"" + host.title + "\" has no item with id " + std::to_string(id));

    CommandLinePrompts prompts(parsed, services.prompts);
    DescribingShell shell(launch ? &services.shell : nullptr);
    RunCommand(slots[static_cast<std::size_t>(id)], host, prompts, shell, browsers);
    if (prompts.passwordGiven || parsed.values.count("--password")) {
        // Shown, never printed: the call again with "***" where the
        // password went, from the same answers, and nothing launched.
        prompts.hidePassword();
        DescribingShell hidden(nullptr);
        RunCommand(slots[static_cast<std::size_t>(id)], host, prompts, hidden, browsers);
        shell.described = std::move(hidden.described);
    }

    Json out;
    out["confirmation"] = prompts.confirmation ? Json(ansiToUtf8(*prompts.confirmation)) : Json(nullptr);
    Json titles = Json::array();
    for (const std::string& title : prompts.prompts)
        titles.push_back(title);
    out["prompts"] = std::move(titles);
    out["call"] = std::move(shell.described);
    printJson(out);
    return 0;
}

}  // namespace qb::cli
