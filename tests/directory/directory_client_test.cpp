// The directory client against the throwaway domain controller (QB_DC_DIR).
#include "import/DirectorySource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace qb;

TEST(DirectoryClient, ReportsEachPageAndCancelsBetweenPages)
{
    const char* dir = std::getenv("QB_DC_DIR");
    std::ifstream password(std::string(dir ? dir : ".") + "/password");
    DirectoryQuery query;
    query.url = "ldap://127.0.0.1/OU=Quillbank,DC=test,DC=lan";
    query.user = "Administrator@TEST.LAN";
    query.password.assign(std::istreambuf_iterator<char>(password), {});
    query.insecure = true;
    query.pageSize = 3;

    std::vector<size_t> progress;
    DirectoryResult result = makePlatformDirectoryClient()->search(query, [&](size_t found) {
        progress.push_back(found);
        return true;
    });
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(progress, (std::vector<size_t>{0, 3, 6, 8}));
    EXPECT_EQ(result.read.hosts.size(), 8u);

    DirectoryResult cancelled = makePlatformDirectoryClient()->search(query, [](size_t found) { return found == 0; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.read.hosts.empty());
}
