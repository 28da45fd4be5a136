#include "launch/RememberedPasswords.h"

#include "catalogue/TextRules.h"
#include "launch/Secrets.h"
#include "launch/Sha256.h"

#include <algorithm>

namespace qb {

const char kRememberedPrefix[] = "Quillbank/";
const char kCommandChangedNotice[] = "The command changed since this password was remembered.";
const char kTooLongNotice[] = "This password is too long to remember: at most 1,280 characters.";
const char kUnableToRemember[] = "Unable to remember the password: ";

namespace {

const std::string kPasswordPlaceholder = "***";

std::string escapeName(const std::string& name)
{
    std::string out;
    for (char c : name) {
        switch (c) {
        case '/': out += "%2F"; break;
        case '%': out += "%25"; break;
        case '*': out += "%2A"; break;
        default: out += c;
        }
    }
    return out;
}

// The reverse of escapeName; false for a text it cannot have made.
bool unescapeName(const std::string& text, std::string& name)
{
    name.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '/' || text[i] == '*')
            return false;
        if (text[i] != '%') {
            name += text[i];
            continue;
        }
        const std::string code = asciiLowered(text.substr(i + 1, 2));
        if (code == "2f")
            name += '/';
        else if (code == "25")
            name += '%';
        else if (code == "2a")
            name += '*';
        else
            return false;
        i += 2;
    }
    return true;
}

// A text with, for each character, whether the entry's own text holds it.
struct TracedText {
    std::string text;
    std::vector<bool> own;
};

// ReplaceAll's replacement, keeping track of what came from outside.
void replaceTraced(TracedText& traced, const std::string& placeholder, const std::string& replacement)
{
    TracedText out;
    size_t from = 0;
    auto keep = [&](size_t to) {
        out.text.append(traced.text, from, to - from);
        out.own.insert(out.own.end(), traced.own.begin() + long(from), traced.own.begin() + long(to));
    };
    for (auto pos = traced.text.find(placeholder); pos != std::string::npos;
         pos = traced.text.find(placeholder, from)) {
        keep(pos);
        out.text += replacement;
        out.own.insert(out.own.end(), replacement.size(), false);
        from = pos + placeholder.size();
    }
    keep(traced.text.size());
    traced = std::move(out);
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSlash(char c)
{
    return c == '\\' || c == '/';
}

bool isFullPath(const std::string& program)
{
    if (program.size() >= 3 && isAsciiLetter(program[0]) && program[1] == ':' && isSlash(program[2]))
        return true;
    return program.size() >= 2 && isSlash(program[0]) && isSlash(program[1]);
}

// The kept password for the request, when its names and binding hold.
// Otherwise the prompt to show, which says so when only the texts changed.
bool recall(SecretStore& store, const RememberedPassword& wanted, const PasswordRequest& request, std::string& password,
            PasswordPrompt& prompt, std::string& problem)
{
    RememberedPassword kept;
    std::string error, keptHost, keptEntry;
    const SecretStore::Status status = store.read(wanted.target, kept, error);
    bool used = false;
    if (status == SecretStore::Status::Failed) {
        problem = kUnableToRemember + error;
    } else if (status == SecretStore::Status::Found && splitRememberedTarget(kept.target, keptHost, keptEntry) &&
               equalsIgnoringCase(keptHost, request.hostName) && equalsIgnoringCase(keptEntry, request.slot.name)) {
        if (kept.binding == wanted.binding) {
            password.assign(kept.secret);
            used = true;
        } else {
            prompt.notice = kCommandChangedNotice;
        }
    }
    wipeSecret(kept.secret);
    return used;
}

}  // namespace

std::string rememberedTarget(const std::string& hostName, const std::string& entryName)
{
    return kRememberedPrefix + escapeName(hostName) + "/" + escapeName(entryName);
}

bool splitRememberedTarget(const std::string& target, std::string& hostName, std::string& entryName)
{
    if (!startsWithIgnoringCase(target, kRememberedPrefix))
        return false;
    const std::string names = target.substr(sizeof kRememberedPrefix - 1);
    const auto slash = names.find('/');
    return slash != std::string::npos && unescapeName(names.substr(0, slash), hostName) &&
           unescapeName(names.substr(slash + 1), entryName);
}

std::string bindingDigest(EntryKind kind, const std::string& program, const std::string& params)
{
    // Lengths in front, so that no shift of text between the two fields
    // gives the same bytes.
    return sha256Hex(std::to_string(int(kind)) + "\n" + std::to_string(program.size()) + ":" + program +
                     std::to_string(params.size()) + ":" + params);
}

bool passwordsWrittenInEntry(const std::string& params, const std::string& hostName,
                             const std::optional<std::string>& answer)
{
    TracedText traced{params, std::vector<bool>(params.size(), true)};
    replaceTraced(traced, "%HOST%", hostName);
    if (answer)
        replaceTraced(traced, "???", *answer);
    // Found as the replacement finds them: left to right, never overlapping.
    for (auto pos = traced.text.find(kPasswordPlaceholder); pos != std::string::npos;
         pos = traced.text.find(kPasswordPlaceholder, pos + kPasswordPlaceholder.size())) {
        const auto first = traced.own.begin() + long(pos);
        if (!std::all_of(first, first + long(kPasswordPlaceholder.size()), [](bool own) { return own; }))
            return false;
    }
    return true;
}

bool programIsBound(const std::string& program, ProgramFinder& programs)
{
    if (isFullPath(program))
        return true;
    // "tools\x.exe", "\x.exe" and "C:x.exe" lead from the catalogue's folder
    // or drive; only a bare name is looked up.
    if (program.empty() || program.find_first_of("\\/:") != std::string::npos)
        return false;
    return programs.find(program) == ProgramFinder::Place::Elsewhere;
}

bool obtainPassword(const PasswordRequest& request, LaunchPrompts& prompts, PasswordMemory& memory,
                    std::string& password, std::string& problem)
{
    PasswordPrompt prompt;
    // Only where a kept password could be used again is keeping one offered.
    const bool bound = request.slot.kind == CustomCommand &&
                       passwordsWrittenInEntry(request.slot.params, request.hostName, request.answer) &&
                       programIsBound(request.program, memory.programs);
    RememberedPassword wanted{rememberedTarget(request.hostName, request.slot.name),
                              bindingDigest(request.slot.kind, request.program, request.params), ""};
    if (bound) {
        prompt.offerToRemember = true;
        prompt.rememberChecked = memory.askAgain;
        if (!memory.askAgain && recall(memory.store, wanted, request, password, prompt, problem))
            return true;
    }
    PasswordAnswer answer;
    for (;;) {
        if (!prompts.askPassword(prompt, answer)) {
            wipeSecret(answer.text);
            return false;
        }
        if (!(bound && answer.remember && answer.text.size() > kLongestRememberedPassword))
            break;
        // Asked again, saying why: the box stays checked, the text does not.
        wipeSecret(answer.text);
        prompt.notice = kTooLongNotice;
        prompt.rememberChecked = true;
    }
    password.assign(answer.text);
    wipeSecret(answer.text);
    if (bound && answer.remember) {
        wanted.secret.assign(password);
        std::string error;
        if (!memory.store.write(wanted, error) && problem.empty())
            problem = kUnableToRemember + error;
        wipeSecret(wanted.secret);
    }
    return true;
}

bool rememberedTargetsOf(SecretStore& store, const std::string& hostName, std::vector<std::string>& targets,
                         std::string& error)
{
    std::vector<RememberedPassword> found;
    if (!store.list(kRememberedPrefix, found, error))
        return false;
    std::string keptHost, keptEntry;
    for (const RememberedPassword& kept : found) {
        if (splitRememberedTarget(kept.target, keptHost, keptEntry) && equalsIgnoringCase(keptHost, hostName))
            targets.push_back(kept.target);
    }
    return true;
}

}  // namespace qb
