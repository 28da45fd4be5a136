// import from a directory address: the options become a query for the
// directory client; the password comes from a file or a hidden prompt,
// never from the command line, where other users' process lists show it.
#include "cli/Commands.h"

#include "catalogue/FileStore.h"
#include "catalogue/TextRules.h"
#include "import/DirectorySource.h"
#include "launch/Secrets.h"

namespace qb::cli {

namespace {

const char kFilterOption[] = "--filter";
const char kUserOption[] = "--user";
const char kPasswordFileOption[] = "--password-file";
const char kPageSizeOption[] = "--page-size";
const char kInsecureOption[] = "--insecure";

// LDAP carries UTF-8. Linux arguments and terminals are UTF-8 already;
// Windows hands arguments over in the ANSI code page and typed text in the
// console's.
std::string toUtf8(const std::string& text, TerminalText source)
{
#ifdef _WIN32
    return ansiToUtf8(terminalToAnsi(text, source));
#else
    (void)source;
    return text;
#endif
}

std::string optionValue(const ParsedArgs& parsed, const char* name)
{
    auto found = parsed.values.find(name);
    return found == parsed.values.end() ? std::string() : found->second;
}

// The file's first line; a UTF-8 byte order mark and the line end are not
// part of the password.
std::string readPasswordFile(FileStore& files, const std::string& path)
{
    FileReadResult file = files.readAll(path);
    if (!file.whole())
        throw CliError("cannot read the password file " + path + ": " + (file.missing ? "not found" : file.error));
    std::string password = std::move(file.bytes);
    if (startsWith(password, "\xEF\xBB\xBF"))
        password.erase(0, 3);
    size_t end = password.find_first_of("\r\n");
    if (end != std::string::npos)
        password.erase(end);
    return password;
}

int pageSize(const ParsedArgs& parsed)
{
    std::string text = optionValue(parsed, kPageSizeOption);
    if (text.empty())
        return DirectoryQuery().pageSize;
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || value < 1)
        throw CliError("--page-size must be a number from 1 up, not \"" + text + "\"");
    return value;
}

// Wipes the query's password when the search is done with it.
struct QueryWithSecret {
    DirectoryQuery query;
    ~QueryWithSecret() { wipeSecret(query.password); }
};

}  // namespace

ImportRead readDirectorySource(Services& services, const std::string& address, const ParsedArgs& parsed)
{
    QueryWithSecret secret;
    DirectoryQuery& query = secret.query;
    query.url = toUtf8(address, TerminalText::Argument);
    if (parsed.values.count(kFilterOption))
        query.filter = toUtf8(optionValue(parsed, kFilterOption), TerminalText::Argument);
    query.user = toUtf8(optionValue(parsed, kUserOption), TerminalText::Argument);
    query.insecure = parsed.flags.count(kInsecureOption) != 0;
    query.pageSize = pageSize(parsed);

    std::string passwordFile = optionValue(parsed, kPasswordFileOption);
    if (!passwordFile.empty() && query.user.empty())
        throw CliError("--password-file needs --user");
    if (!passwordFile.empty()) {
        query.password = readPasswordFile(services.files, passwordFile);
    } else if (!query.user.empty()) {
        std::optional<std::string> typed = askTerminal("Password for " + optionValue(parsed, kUserOption) + ": ", true);
        if (!typed)
            throw CliError("--user needs --password-file F, or a terminal to type the password at");
        query.password = toUtf8(*typed, TerminalText::Typed);
        wipeSecret(*typed);
    }

    DirectoryResult result = services.directory.search(query, {});
    if (!result.error.empty())
        throw CliError(result.error);
    return std::move(result.read);
}

}  // namespace qb::cli
