#include "fakes.h"
#include "import/DirectorySource.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(DirectoryUrl, PartsAndRefusals)
{
    struct Case {
        const char* url;
        bool secure;
        const char* server;
        int port;
        const char* baseDn;  // nullptr: refused
    };
    const Case cases[] = {
        {"ldap://dc1.corp.example/OU=Servers,DC=corp,DC=example", false, "dc1.corp.example", 389,
         "OU=Servers,DC=corp,DC=example"},
        {"LDAPS://dc1:3269/DC=corp", true, "dc1", 3269, "DC=corp"},
        {"ldap://[fe80::1]:1389/DC=x", false, "fe80::1", 1389, "DC=x"},
        {"ldap://dc1/OU=Branch%20Office,DC=x%2cy", false, "dc1", 389, "OU=Branch Office,DC=x,y"},
        {"ldap:///DC=x", false, "", 0, nullptr},
        {"ldap://dc1/", false, "", 0, nullptr},
        {"ldap://dc1:/DC=x", false, "", 0, nullptr},
        {"ldap://dc1:0/DC=x", false, "", 0, nullptr},
        {"ldap://dc1:65536/DC=x", false, "", 0, nullptr},
        {"ldap://dc1:38a/DC=x", false, "", 0, nullptr},
        {"ldap://[::1/DC=x", false, "", 0, nullptr},
        {"ldap://dc1/DC=x?cn?sub", false, "", 0, nullptr},
        {"ldap://dc1/OU=%2", false, "", 0, nullptr},
        {"http://dc1/DC=x", false, "", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        std::string error;
        auto address = parseDirectoryUrl(c.url, error);
        if (!c.baseDn) {
            EXPECT_FALSE(address);
            EXPECT_FALSE(error.empty());
            continue;
        }
        ASSERT_TRUE(address) << error;
        EXPECT_EQ(address->secure, c.secure);
        EXPECT_EQ(address->server, c.server);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(address->baseDn, c.baseDn);
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
    const std::array<const char*, 4> expected[] = {
        // title, host, origin, skip reason
        {"", "", "CN=x", "no name"},
        {"?", "omega.corp", "CN=?", ""},
        {"Cafe", "cafe2.corp", "CN=Cafe", ""},
        {"Caf\xE9", "cafe.corp", "CN=Caf\xE9", "disabled"},
        {"pc01", "pc01", "CN=pc01,OU=C", ""},
        {"pc01", "pc01.corp", "CN=pc01,OU=A", ""},
        {"pc01", "pc01.corp", "CN=pc01,OU=B", ""},
        {"\x80", "euro.corp", "CN=\x80", ""},
        {"\xE9", "e.corp", "CN=\xE9", ""},
    };
    ImportRead read = candidatesFromEntries(entries);
    EXPECT_EQ(read.warnings.size(), 1u);
    const std::vector<ImportCandidate>& candidates = read.hosts;
    ASSERT_EQ(candidates.size(), std::size(expected));
    for (size_t i = 0; i < candidates.size(); ++i) {
        SCOPED_TRACE(i);
        const ImportCandidate& c = candidates[i];
        EXPECT_EQ((std::array<std::string, 4>{c.title, c.hostName, c.origin, c.skipReason}),
                  (std::array<std::string, 4>{expected[i][0], expected[i][1], expected[i][2], expected[i][3]}));
    }

    DirectoryEntry entry;  // attribute names come back in the server's letter case
    entry.set("DNSHOSTNAME", "a.corp");
    entry.set("CN", "a");
    entry.set("description", "ignored");
    EXPECT_EQ(entry.dnsHostName, "a.corp");
    EXPECT_EQ(entry.cn, "a");
}

TEST(DirectorySearch, RefusesBeforeThePlatformIsAsked)
{
    struct Case {
        const char* url;
        const char* user;
        bool insecure, clear;
        bool reachesServer;
    };
    const Case cases[] = {
        {"ldap://dc1/DC=x", "admin", false, true, false},  // password in clear
        {"ldap://dc1/DC=x", "admin", true, true, true},
        {"ldap://dc1/DC=x", "admin", false, false, true},  // Negotiate seals it
        {"ldaps://dc1/DC=x", "admin", false, true, true},
        {"ldap://dc1/DC=x", "", false, true, true},  // anonymous: no password
        {"ldap://dc1", "", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.url) + " " + c.user);
        qbtest::FakeDirectory directory;
        directory.clear = c.clear;
        directory.answer.entries = {{"CN=a", "a", "", ""}};
        DirectoryQuery query;
        query.url = c.url;
        query.user = c.user;
        query.insecure = c.insecure;
        DirectoryResult result = directory.search(query, {});
        EXPECT_EQ(directory.searches, c.reachesServer ? 1 : 0);
        EXPECT_EQ(result.ok(), c.reachesServer) << result.error;
        EXPECT_EQ(result.read.hosts.size(), c.reachesServer ? 1u : 0u);
    }
}

TEST(DirectorySearch, CancelAndErrorsCarryNoHosts)
{
    qbtest::FakeDirectory directory;
    directory.answer.entries = {{"CN=a", "a", "", ""}};
    DirectoryQuery query;
    query.url = "ldaps://dc1/DC=x";

    DirectoryResult cancelled = directory.search(query, [](size_t) { return false; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(directory.searches, 0);

    directory.answer.error = "bind to dc1 failed: Invalid credentials";
    DirectoryResult failed = directory.search(query, {});
    EXPECT_EQ(failed.error, directory.answer.error);
    EXPECT_TRUE(failed.read.hosts.empty());
}
