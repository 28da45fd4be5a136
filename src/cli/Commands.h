// quillbank-cli: one function per command, and the few pieces the commands
// share. main.cpp builds the services once and maps command names to these
// functions; a command returns its exit status, or throws CliError for
// anything the user must fix.
#pragma once

#include "app/Services.h"
#include "catalogue/CatalogueMerge.h"
#include "catalogue/FileStore.h"
#include "catalogue/HostRecords.h"
#include "import/ImportSource.h"
#include "import/ImportText.h"  // ansiToUtf8: catalogue text is ANSI, JSON wants UTF-8

#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qb::cli {

using Args = std::vector<std::string>;  // the words after the command name

// Printed by main as one line on stderr; the program then exits with 2.
class CliError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
constexpr int kExitError = 2;

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // "--name VALUE"
    std::set<std::string> flags;                // "--name"
};
// Options start "--", or are named here ("-o"). Throws CliError for an option
// that is not one of these, or a value option without its value. A word after
// "--" is positional even if it starts "--".
ParsedArgs parseArgs(const Args& args, const std::vector<std::string>& valueOptions = {},
                     const std::vector<std::string>& flagOptions = {});

// The FILE argument at positional[index], or "quillbank.ini" when absent;
// throws CliError when more positional words follow it.
std::string fileArgument(const ParsedArgs& parsed, size_t index);

struct LoadedCatalogue {
    HostCatalogue hosts;
    AppOptions options;
    bool found = false;  // false: no such file, so the empty catalogue
    std::string bytes;
};
// What a missing file means to a command: the empty catalogue the program
// would start with (with a note on stderr), or an error where there is
// nothing to work on.
enum class IfMissing {
    ReadAsEmpty,
    ReadAsEmptyQuietly,  // a first look before the read that counts
    Refuse
};
// Reads the file as the program does. A file that exists but cannot be read
// whole throws CliError (the program would carry on with part of it, which
// a script must not mistake for the whole).
// whyMissing, when given, follows a refusal to say what the name was taken for.
// A catalogue is read under its shared lock, as the program reads it; files
// that are no program's catalogue (Git's merge inputs) are read as they are.
enum class ReadLock {
    Shared,
    None
};
LoadedCatalogue loadCatalogueFile(Services& services, const std::string& path,
                                  IfMissing ifMissing = IfMissing::ReadAsEmpty, const std::string& whyMissing = {},
                                  ReadLock readLock = ReadLock::Shared);
// A read already made, taken as loadCatalogueFile takes it.
LoadedCatalogue loadedFrom(Services& services, const std::string& path, FileReadResult file, IfMissing ifMissing,
                           const std::string& whyMissing = {});

// Where text from the user came from: the command line, or typed at a prompt.
enum class TerminalText {
    Argument,
    Typed
};
// The user's text in the ANSI code page. Linux terminals and arguments are
// UTF-8 (a byte that is not is kept as it is); on Windows arguments arrive in
// the ANSI code page already and typed text in the console's code page. A
// character the code page lacks becomes "?", as Windows converts it.
std::string terminalToAnsi(std::string_view text, TerminalText source);

// Asks on stderr and reads one line from the terminal (without echo when
// hidden); std::nullopt when stdin is not a terminal or ends.
std::optional<std::string> askTerminal(const std::string& question, bool hidden);

// What a load gives, as the writer and the merge take it (the window
// position 0, 0 where the file had none).
CatalogueVersion versionOf(LoadedCatalogue loaded);
// When a saving command leaves the file as it is: when it already holds the
// program's bytes, or (for a change that only adds) the same catalogue.
enum class KeepWhen {
    SameBytes,
    SameCatalogue
};
// As the program saves (saveLocked): under the exclusive lock, with what
// killed saves left cleared first, the file read (a missing one as ifMissing
// says), changed, and written over, the previous file kept as the backup,
// unless keepWhen says it already holds the result. A backup that could not
// be kept is said on stderr. Throws CliError naming the path as it was given.
void saveUnderLock(Services& services, const std::string& path, IfMissing ifMissing, KeepWhen keepWhen,
                   const std::function<void(CatalogueVersion&)>& change);

// The hosts of a directory source ("ldap://", "ldaps://") as the directory
// client reads them with the command's options; throws CliError.
ImportRead readDirectorySource(Services& services, const std::string& address, const ParsedArgs& parsed);

// The console's part of the services: questions and prompts at the terminal
// (nullopt or No without one), messages on stderr, and a shell that starts
// programs on Windows alone.
class ConsoleServices
{
public:
    ConsoleServices();
    ~ConsoleServices();
    ConsoleServices(const ConsoleServices&) = delete;
    ConsoleServices& operator=(const ConsoleServices&) = delete;

    Services& services() { return *m_services; }

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    std::unique_ptr<Services> m_services;
};

// 2-space indentation and a final newline.
void printJson(const nlohmann::ordered_json& value);

int dumpCommand(const Args& args, Services& services);
int checkCommand(const Args& args, Services& services);
int rewriteCommand(const Args& args, Services& services);
// Exit status 0 when clean, 1 when both versions of some hosts were kept.
int mergeCommand(const Args& args, Services& services);
int menuCommand(const Args& args, Services& services);
int composeCommand(const Args& args, Services& services);
int importCommand(const Args& args, Services& services);
int exportCommand(const Args& args, Services& services);

}  // namespace qb::cli
