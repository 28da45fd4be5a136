// The platform's services, as one struct that a program's main builds once
// and hands down: the window, the session and the console companion's
// commands use what they are given and find nothing for themselves. Tests
// hand in fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qb {

class BrowserSource;
class DirectoryClient;
class FileStore;
class LaunchPrompts;
class LinkSystem;
class ProgramFinder;
class SecretStore;
class Shell;

// Message boxes owned by the main window, with the executable's name as
// caption.
class MessageBoxes
{
public:
    enum class Question {
        YesFirst,  // a question, Yes the default
        NoFirst,   // a question where a slip of a key must not say Yes
        Warning    // a loss the user is asked to accept, Yes the default
    };
    enum class Answer {
        Yes,
        No,
        None  // the box could not be shown
    };

    virtual ~MessageBoxes() = default;
    // A box with an OK button alone.
    virtual void tell(const std::string& text) = 0;
    virtual Answer ask(const std::string& question, Question kind) = 0;
};

// Per-user settings, never in the shared catalogue: on Windows the values
// under HKCU\Software\Quillbank.
class UserSettings
{
public:
    virtual ~UserSettings() = default;
    // nullopt when there is no such value.
    virtual std::optional<std::string> readText(const std::string& name) = 0;
    virtual bool writeText(const std::string& name, const std::string& text) = 0;
    // A number (on Windows a REG_DWORD); nullopt when there is no such
    // value or it is not a number.
    virtual std::optional<uint32_t> readNumber(const std::string& name) = 0;
    virtual bool writeNumber(const std::string& name, uint32_t value) = 0;
};

struct Services {
    FileStore& files;
    BrowserSource& browsers;
    DirectoryClient& directory;
    // The shell, the registry and the program starter of link labels.
    LinkSystem& links;
    UserSettings& settings;
    // The launch of a menu item: its shell and its prompts.
    Shell& shell;
    LaunchPrompts& prompts;
    MessageBoxes& messages;
    // Remembered passwords, in the user's own store, and where the shell
    // finds a bare program name (whether a password may follow it).
    SecretStore& secrets;
    ProgramFinder& programs;
};

}  // namespace qb
