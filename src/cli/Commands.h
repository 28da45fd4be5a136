// quillbank-cli: one function per command, and the few pieces the commands
// share. main.cpp maps command names to these functions; a command returns
// its exit status, or throws CliError for anything the user must fix.
#pragma once

#include "catalogue/HostRecords.h"

#include <nlohmann/json.hpp>

#include <set>
#include <map>
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
LoadedCatalogue loadCatalogueFile(const std::string& path, IfMissing ifMissing = IfMissing::ReadAsEmpty,
                                  const std::string& whyMissing = {}, ReadLock readLock = ReadLock::Shared);

// Catalogue text is in the ANSI code page; JSON wants UTF-8.
std::string ansiToUtf8(std::string_view text);

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

// 2-space indentation and a final newline.
void printJson(const nlohmann::ordered_json& value);

int dumpCommand(const Args& args);
int checkCommand(const Args& args);
int rewriteCommand(const Args& args);
// Exit status 0 when clean, 1 when both versions of some hosts were kept.
int mergeCommand(const Args& args);
int menuCommand(const Args& args);
int composeCommand(const Args& args);

}  // namespace qb::cli
