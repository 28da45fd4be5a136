// Passwords kept in the user's own store (on Windows the Credential
// Manager), never in the shared catalogue. A kept password is bound to the
// texts it was typed for: whoever edits the catalogue cannot have it sent to
// another program or with other parameters. This file decides when one is
// used, asked for or kept; the store itself is a platform service.
#pragma once

#include "catalogue/CommandEntry.h"
#include "launch/RunCommand.h"

#include <optional>
#include <string>
#include <vector>

namespace qb {

// One remembered password and what it is kept with. Its exact host name and
// entry name are kept in its name, as it was written (the store finds a name
// without regard to case, and hands it back as written).
struct RememberedPassword {
    std::string target;   // rememberedTarget() of the host name and entry name
    std::string binding;  // bindingDigest() of the texts it was typed for
    std::string secret;   // left empty by a listing; its holder wipes it
};

class SecretStore
{
public:
    enum class Status {
        Found,
        NotFound,  // the normal case of nothing kept: says nothing
        Failed
    };
    virtual ~SecretStore() = default;
    // Filled in place, so that the secret is not copied by a move; `error`
    // is the system's description when Failed.
    virtual Status read(const std::string& target, RememberedPassword& into, std::string& error) = 0;
    // Creates or replaces the one named value.target.
    virtual bool write(const RememberedPassword& value, std::string& error) = 0;
    // Everything kept under names beginning with `prefix`, secrets left out;
    // false with `error` when the store cannot be read.
    virtual bool list(const std::string& prefix, std::vector<RememberedPassword>& found, std::string& error) = 0;
    virtual bool remove(const std::string& target, std::string& error) = 0;
};

// Where the shell finds a program named without a folder.
class ProgramFinder
{
public:
    enum class Place {
        WorkingFolder,  // the catalogue's folder, searched first
        Elsewhere,      // a folder of the system or of the PATH
        NotFound
    };
    virtual ~ProgramFinder() = default;
    virtual Place find(const std::string& name) = 0;
};

// What a launch from the window brings: the store, and whether Ctrl was held
// at the pick (asks again, the box checked).
struct PasswordMemory {
    SecretStore& store;
    ProgramFinder& programs;
    bool askAgain = false;
};

// Everything of ours in the store is named with this in front.
extern const char kRememberedPrefix[];
// The longest password the store keeps: 2,560 bytes of UTF-16, and no text
// of the ANSI code page is longer in UTF-16 characters than in bytes.
constexpr size_t kLongestRememberedPassword = 1280;
extern const char kCommandChangedNotice[];
extern const char kTooLongNotice[];
extern const char kUnableToRemember[];

// "Quillbank/HOST/ENTRY", with "/", "%" and "*" in either name escaped as
// %2F, %25 and %2A: no name can pose as another, and none holds a wildcard.
std::string rememberedTarget(const std::string& hostName, const std::string& entryName);
// The two names back from a target of ours; false for any other name.
bool splitRememberedTarget(const std::string& target, std::string& hostName, std::string& entryName);

// The SHA-256 of the entry's kind, its program text and its parameter text
// as they stand before "***" is filled in.
std::string bindingDigest(EntryKind kind, const std::string& program, const std::string& params);

// True when every "***" of the parameters after "%HOST%" and "???" were
// filled in was written in the entry itself: none of it came from the host
// name or from the typed answer.
bool passwordsWrittenInEntry(const std::string& params, const std::string& hostName,
                             const std::optional<std::string>& answer);

// A kept password may follow the program text only where that text names
// one program whatever the catalogue's folder holds: a full path ("C:\...",
// "\\server\..."), or a bare name that the shell finds outside that folder.
bool programIsBound(const std::string& program, ProgramFinder& programs);

// The texts a launch's password is asked for.
struct PasswordRequest {
    const CommandEntry& slot;
    const std::string& hostName;
    const std::string& program;                // after "%HOST%"
    const std::string& params;                 // after "%HOST%" and "???", before "***"
    const std::optional<std::string>& answer;  // typed at the User Input prompt
};

// Fills `password` for a launch: from the store when its binding holds,
// otherwise from the prompt, kept in the store when the user checked the
// box. False when the prompt was cancelled. `problem` receives the first
// failure of the store to tell.
bool obtainPassword(const PasswordRequest& request, LaunchPrompts& prompts, PasswordMemory& memory,
                    std::string& password, std::string& problem);

// The targets kept for a host name (compared without case, as the store
// compares its names); false with `error` when the store cannot be read.
bool rememberedTargetsOf(SecretStore& store, const std::string& hostName, std::vector<std::string>& targets,
                         std::string& error);

}  // namespace qb
