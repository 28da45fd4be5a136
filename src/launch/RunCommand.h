// Running a picked menu item: confirmation, placeholders, prompts, and the
// hand-over to the shell. The windows, the shell and the registry come in
// through small interfaces so that the whole sequence runs without them.
#pragma once

#include <optional>
#include <string>

#include "catalogue/HostRecords.h"
#include "launch/Browser.h"

namespace qb {

// Every occurrence of placeholder in text replaced, left to right; text that
// a replacement inserted is never searched again. An empty placeholder
// changes nothing.
std::string ReplaceAll(std::string text, std::string placeholder, std::string replacement);

// How the Password Input prompt opens. By default as it always has: one
// field and nothing else.
struct PasswordPrompt {
    // The "Remember in Windows Credential Manager" check box shown, and
    // checked when it opens.
    bool offerToRemember = false;
    bool rememberChecked = false;
    // One line above the field; empty for none.
    std::string notice;
};

// What OK at the Password Input prompt gave. Its owner wipes `text`.
struct PasswordAnswer {
    std::string text;
    bool remember = false;
};

// The dialogs that RunCommand may show.
class LaunchPrompts
{
public:
    virtual ~LaunchPrompts() = default;
    // Yes/No box owned by the main window, Yes the default, no icon; true on Yes.
    virtual bool confirmRun(const std::string& text) = 0;
    // "User Input" prompt for "???"; nullopt when cancelled (or not shown).
    virtual std::optional<std::string> askUserInput() = 0;
    // "Password Input" prompt for "***"; false when cancelled. The answer is
    // filled in place (a moved short string would leave a copy behind) and
    // wiped by RunCommand; the implementation wipes its own copies (dialog
    // member, edit control).
    virtual bool askPassword(const PasswordPrompt& prompt, PasswordAnswer& answer) = 0;
};

// One ShellExecuteA call, described.
struct ShellCall {
    bool ownerIsMainWindow = false;   // else no owner (null)
    std::optional<std::string> verb;  // nullopt: the shell's default verb
    std::string file;
    std::string parameters;
    std::optional<std::string> directory;  // always null here
    int show = 1;                          // SW_SHOWNORMAL
};

class Shell
{
public:
    virtual ~Shell() = default;
    // Starts and forgets: the outcome is never looked at. The call's texts
    // are wiped when this returns; copy nothing that outlives the call.
    virtual void execute(const ShellCall& call) = 0;
};

// The text of the confirmation box for a slot, placeholders unexpanded.
std::string confirmationText(const CommandEntry& slot);

struct PasswordMemory;

// Reads kind, name, program, params and confirm of the slot and hostName of
// the host. With `memory`, a custom command's password may come from the
// user's remembered passwords and be kept there (RememberedPasswords.h).
// Returns what the user must be told once the launch is over (a failure of
// the password store), or an empty text.
std::string RunCommand(const CommandEntry& slot, const HostItem& host, LaunchPrompts& prompts, Shell& shell,
                       BrowserSource& browsers, PasswordMemory* memory = nullptr);

}  // namespace qb
