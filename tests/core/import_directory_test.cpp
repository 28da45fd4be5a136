#include "fakes.h"
#include "import/DirectorySource.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(DirectoryUrl, PartsAndRefusals)
{
    const std::tuple<const char*, bool, std::string, int, std::string> accepted[] = {
        {"ldap://dc1.corp.example/OU=Servers,DC=corp,DC=example", false, "dc1.corp.example", 389,
         "OU=Servers,DC=corp,DC=example"},
        {"LDAPS://dc1:3269/DC=corp", true, "dc1", 3269, "DC=corp"},
        {"ldap://[fe80::1]:1389/DC=x", false, "fe80::1", 1389, "DC=x"},
        {"ldap://dc1/OU=Branch%20Office,DC=x%2cy", false, "dc1", 389, "OU=Branch Office,DC=x,y"},
    };
    for (const auto& [url, secure, server, port, baseDn] : accepted) {
        std::string error;
        auto address = parseDirectoryUrl(url, error);
        ASSERT_TRUE(address) << url << ": " << error;
        EXPECT_EQ(std::tie(address->secure, address->server, address->port, address->baseDn),
                  std::tie(secure, server, port, baseDn))
            << url;
    }
    for (const char* url : {"ldap:///DC=x", "ldap://dc1/", "ldap://dc1:65536/DC=x", "ldap://[::1/DC=x",
                            "ldap://dc1/DC=x?cn?sub", "ldap://dc1/OU=%2", "http://dc1/DC=x"}) {
        std::string error;
        EXPECT_FALSE(parseDirectoryUrl(url, error)) << url;
        EXPECT_FALSE(error.empty()) << url;
    }
}

TEST(DirectoryEntries, BecomeSortedCandidates)
{
    std::vector<DirectoryEntry> entries = {
        {"CN=pc01,OU=B", "pc01", "pc01.corp", "4096"},
        {"CN=pc01,OU=A", "pc01", "pc01.corp", "4096"},                  // same title and host: by DN
        {"CN=pc01,OU=C", "pc01", "", "4096"},                           // no DNS name: cn, sorts before "pc01.corp"
        {"CN=Caf\xC3\xA9", "Caf\xC3\xA9", "cafe.corp", "-2147479550"},  // bit 31 set as well
        // Sorted as ANSI text (0x80 before 0xE9, unlike UTF-8); omega is not in the code page.
        {"CN=\xC3\xA9", "\xC3\xA9", "e.corp", "4096"},
        {"CN=\xE2\x82\xAC", "\xE2\x82\xAC", "euro.corp", "4096"},
        {"CN=\xCE\xA9", "\xCE\xA9", "omega.corp", "4096"},
        {"CN=Cafe", "Cafe", "cafe2.corp", ""},  // no flags: enabled
        {"CN=x", "", "", "4096"},
    };
    ImportRead read = candidatesFromEntries(entries);
    EXPECT_EQ(read.warnings.size(), 1u);
    std::vector<std::string> candidates;  // title|host|origin|skip reason
    for (const ImportCandidate& c : read.hosts)
        candidates.push_back(c.title + "|" + c.hostName + "|" + c.origin + "|" + c.skipReason);
    EXPECT_EQ(candidates, (std::vector<std::string>{"||CN=x|no name", "?|omega.corp|CN=?|", "Cafe|cafe2.corp|CN=Cafe|",
                                                    "Caf\xE9|cafe.corp|CN=Caf\xE9|disabled", "pc01|pc01|CN=pc01,OU=C|",
                                                    "pc01|pc01.corp|CN=pc01,OU=A|", "pc01|pc01.corp|CN=pc01,OU=B|",
                                                    "\x80|euro.corp|CN=\x80|", "\xE9|e.corp|CN=\xE9|"}));

    DirectoryEntry entry;  // attribute names come back in the server's letter case
    entry.set("DNSHOSTNAME", "a.corp");
    entry.set("CN", "a");
    entry.set("description", "ignored");
    EXPECT_EQ(entry.dnsHostName, "a.corp");
    EXPECT_EQ(entry.cn, "a");
}

// Refused before the platform is asked, cancelled before it is, or failed there: no hosts either way. (Binds that
// seal or encrypt the password: the companion's tests against a real server.)
TEST(DirectorySearch, RefusedCancelledOrFailedSearchesCarryNoHosts)
{
    // url, user, insecure allowed, binds in clear, cancelled at once, the server's error, reaches the server
    const std::tuple<const char*, const char*, bool, bool, bool, const char*, bool> cases[] = {
        {"ldap://dc1/DC=x", "admin", false, true, false, "", false},  // password in clear
        {"ldap://dc1/DC=x", "admin", true, true, false, "", true},
        {"ldap://dc1/DC=x", "", false, true, false, "", true},  // anonymous: no password
        {"ldap://dc1", "", true, true, false, "", false},
        {"ldaps://dc1/DC=x", "", false, true, true, "", false},
        {"ldaps://dc1/DC=x", "", false, true, false, "bind to dc1 failed: Invalid credentials", true},
    };
    for (const auto& [url, user, insecure, clear, cancel, error, reachesServer] : cases) {
        SCOPED_TRACE(std::string(url) + " " + user + error);
        qbtest::FakeDirectory directory;
        directory.clear = clear;
        directory.answer.entries = {{"CN=a", "a", "", ""}};
        directory.answer.error = error;
        DirectoryQuery query;
        query.url = url;
        query.user = user;
        query.insecure = insecure;
        DirectoryResult result = directory.search(query, [&](size_t) { return !cancel; });
        EXPECT_EQ(directory.searches, reachesServer ? 1 : 0);
        EXPECT_EQ(result.cancelled, cancel);
        EXPECT_EQ(result.ok(), reachesServer && !*error) << result.error;
        EXPECT_EQ(reachesServer ? result.error : "", error);
        EXPECT_EQ(result.read.hosts.size(), result.ok() ? 1u : 0u);
    }
}
