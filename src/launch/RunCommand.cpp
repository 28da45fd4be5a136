#include "launch/RunCommand.h"

#include "catalogue/TextRules.h"
#include "launch/RememberedPasswords.h"
#include "launch/Secrets.h"

#include <cstddef>

namespace qb {
namespace {

const std::string kHostPlaceholder = "%HOST%";
const std::string kInputPlaceholder = "???";
const std::string kPasswordPlaceholder = "***";

// Only the first four characters count, so "httpd.exe" is opened as an
// address too; anything shorter never is.
bool startsWithHttp(const std::string& program)
{
    return startsWithIgnoringCase(program, "http");
}

// Appends text to out with every placeholder replaced, left to right over
// the original text: equivalent to searching on after each inserted
// replacement, so inserted text is never searched again.
void appendReplacing(std::string& out, const std::string& text, const std::string& placeholder,
                     const std::string& replacement)
{
    std::size_t from = 0;
    for (auto pos = text.find(placeholder); pos != std::string::npos; pos = text.find(placeholder, from)) {
        out.append(text, from, pos - from);
        out.append(replacement);
        from = pos + placeholder.size();
    }
    out.append(text, from, std::string::npos);
}

// ReplaceAll for a secret: the result is built in one buffer of its final
// size, so that no intermediate copy of the secret is left unwiped, and the
// old text is wiped before it is freed.
void replaceSecret(std::string& text, const std::string& placeholder, const std::string& secret)
{
    std::size_t count = 0;
    for (auto pos = text.find(placeholder); pos != std::string::npos;
         pos = text.find(placeholder, pos + placeholder.size()))
        ++count;
    if (count == 0)
        return;
    std::string result;
    result.reserve(text.size() + count * secret.size());
    appendReplacing(result, text, placeholder, secret);
    text.swap(result);
    wipeSecret(result);
}

// Wipes the texts that may hold a typed password on every way out.
class WipeOnExit
{
public:
    explicit WipeOnExit(std::string& params, ShellCall& call) : m_params(params), m_call(call) {}
    ~WipeOnExit()
    {
        wipeSecret(m_params);
        wipeSecret(m_call.file);
        wipeSecret(m_call.parameters);
    }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    std::string& m_params;
    ShellCall& m_call;
};

}  // namespace

std::string ReplaceAll(std::string text, std::string placeholder, std::string replacement)
{
    // An empty placeholder would match everywhere and never move on.
    if (placeholder.empty() || text.find(placeholder) == std::string::npos)
        return text;
    std::string result;
    appendReplacing(result, text, placeholder, replacement);
    return result;
}

std::string confirmationText(const CommandEntry& slot)
{
    return "Are you sure you want to run:\n\n\"" + slot.program + " " + slot.params + "\"";
}

std::string RunCommand(const CommandEntry& slot, const HostItem& host, LaunchPrompts& prompts, Shell& shell,
                       BrowserSource& browsers, PasswordMemory* memory)
{
    if (slot.confirm && !prompts.confirmRun(confirmationText(slot)))
        return {};

    std::string program = ReplaceAll(slot.program, kHostPlaceholder, host.hostName);
    std::string params = ReplaceAll(slot.params, kHostPlaceholder, host.hostName);
    ShellCall call;
    WipeOnExit wipe(params, call);

    bool cancelled = false;
    std::optional<std::string> typed;
    if (params.find(kInputPlaceholder) != std::string::npos) {
        typed = prompts.askUserInput();
        if (typed)
            params = ReplaceAll(std::move(params), kInputPlaceholder, *typed);
        else
            cancelled = true;
    }
    // Asked even after a cancelled text prompt; the launch is abandoned
    // anyway, so nothing is recalled or kept for it.
    std::string problem;
    if (params.find(kPasswordPlaceholder) != std::string::npos) {
        std::string password;
        bool given = false;
        if (memory && !cancelled) {
            given = obtainPassword({slot, host.hostName, program, params, typed}, prompts, *memory, password, problem);
        } else {
            PasswordAnswer answer;
            given = prompts.askPassword(PasswordPrompt{}, answer);
            password.assign(answer.text);
            wipeSecret(answer.text);
        }
        if (given)
            replaceSecret(params, kPasswordPlaceholder, password);
        else
            cancelled = true;
        wipeSecret(password);
    }
    if (cancelled)
        return problem;

    call.show = 1;
    if (startsWithHttp(program)) {
        // An address goes to the default browser; the slot's parameters are
        // not passed on.
        call.ownerIsMainWindow = false;
        call.file = GetDefaultBrowser(browsers);
        call.parameters = std::move(program);
    } else {
        call.ownerIsMainWindow = true;
        call.verb = "open";
        call.file = std::move(program);
        call.parameters = std::move(params);
    }
    shell.execute(call);
    return problem;
}

}  // namespace qb
