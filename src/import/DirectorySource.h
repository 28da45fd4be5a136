// The computer accounts of a directory (Active Directory or any LDAP server)
// as import candidates. The platform talks to the server (libldap, wldap32);
// what an address means, when a bind is refused before it is tried, and how
// entries become candidates are decided here, once for both.
#pragma once

#include "import/ImportSource.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

// All text is UTF-8, as LDAP carries it, until it becomes candidates.
struct DirectoryQuery {
    std::string url;  // ldap[s]://SERVER[:PORT]/BASE-DN
    std::string filter = "(objectClass=computer)";
    std::string user;      // empty: Windows binds as the signed-in user, elsewhere anonymously
    std::string password;  // with user
    // Allows a simple bind over plain ldap:// and skips the check of an
    // ldaps:// server's certificate.
    bool insecure = false;
    // Below Active Directory's limit of 1,000 per page; tests make it small.
    int pageSize = 500;
    // For connecting and for each page; a dead server must not hold a
    // worker thread for minutes.
    int timeoutSeconds = 30;
};

struct DirectoryAddress {
    bool secure = false;  // ldaps://
    std::string server;   // a name, an IPv4 address, or an IPv6 one without its brackets
    int port = 0;         // 389 or 636 unless given
    std::string baseDn;   // percent escapes decoded
};

// The parts of url; std::nullopt with error set when it is not a usable address.
std::optional<DirectoryAddress> parseDirectoryUrl(std::string_view url, std::string& error);

// One search result entry: the attributes the import reads, first value
// each, empty where the entry has none.
struct DirectoryEntry {
    std::string dn, cn, dnsHostName, userAccountControl;
    // Keeps value when name is one of kDirectoryAttributes (any letter case).
    void set(std::string_view name, std::string value);
};
constexpr const char* kDirectoryAttributes[] = {"cn", "dNSHostName", "userAccountControl"};

// title = cn, host = dNSHostName or else cn, origin = the DN, all in the ANSI
// code page (with the warning when a character was lost); the disabled bit
// (2) of userAccountControl gives "disabled". Sorted by title (bytes, as the
// catalogue will hold it), then host name, then DN, since a directory returns
// entries in no fixed order.
ImportRead candidatesFromEntries(const std::vector<DirectoryEntry>& entries);

// Called with the number of entries found so far, before the first request
// and after each page; returning false cancels the search there.
using DirectoryProgress = std::function<bool(size_t entriesSoFar)>;

struct DirectoryResult {
    ImportRead read;
    std::string error;  // why the search failed, with the server's own message where it gave one
    bool cancelled = false;
    bool ok() const { return error.empty() && !cancelled; }
};

// "bind to SERVER failed: TEXT (DETAIL)", the one form of both platforms' errors.
std::string directoryError(std::string_view step, std::string_view server, std::string_view text,
                           std::string_view detail);

class DirectoryClient
{
public:
    virtual ~DirectoryClient() = default;
    // Connects, binds, and pages through the subtree under the address's
    // base DN. Each call has a connection of its own, so a worker thread may
    // run it while the window stays responsive; progress runs on that thread.
    DirectoryResult search(const DirectoryQuery& query, const DirectoryProgress& progress);

protected:
    struct Entries {
        std::vector<DirectoryEntry> entries;
        std::vector<std::string> warnings;
        std::string error;
        bool cancelled = false;
    };
    // The platform's part of search(): query and address already checked.
    virtual Entries searchEntries(const DirectoryAddress& address, const DirectoryQuery& query,
                                  const DirectoryProgress& progress) = 0;
    // True when a bind with a user hands the server the password as it is
    // (a simple bind); Negotiate signs and seals instead.
    virtual bool bindsInClear() const = 0;
    // After each page: warns when the server stopped at its size limit,
    // reports progress, and says whether to ask for the next page (more:
    // the server has one; false as well when cancelled, which out records).
    static bool continuePaging(Entries& out, bool sizeLimitHit, bool more, const DirectoryProgress& progress);
};

// libldap natively, wldap32 on Windows.
std::unique_ptr<DirectoryClient> makePlatformDirectoryClient();

}  // namespace qb
