#include "fakes.h"
#include "import/DirectorySource.h"

#include <gtest/gtest.h>

using namespace qb;

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
