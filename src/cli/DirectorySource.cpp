// The directory source of import: the place where the directory client
// answers for "ldap://" and "ldaps://" addresses.
#include "cli/Commands.h"

namespace qb::cli {

ImportRead readDirectorySource(const std::string& address, const ParsedArgs& parsed)
{
    (void)parsed;
    throw CliError("directory sources are not available in this build: " + address);
}

}  // namespace qb::cli
