// The platform's directory client against the throwaway domain controller
// that tests/directory/dc.sh starts (QB_DC_DIR): paging, cancelling between
// pages, the server's own message on a refused bind.
#include "import/DirectorySource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace qb;

namespace {

DirectoryQuery adminQuery(const char* scheme)
{
    const char* dir = std::getenv("QB_DC_DIR");
    std::ifstream file(std::string(dir ? dir : ".") + "/password");
    DirectoryQuery query;
    query.url = std::string(scheme) + "://127.0.0.1/OU=Quillbank,DC=test,DC=lan";
    query.user = "Administrator@TEST.LAN";
    query.password.assign(std::istreambuf_iterator<char>(file), {});
    query.insecure = true;
    query.pageSize = 3;
    return query;
}

}  // namespace

// Wine's Negotiate bind signs and seals even over TLS, which domain
// controllers refuse; Windows itself does not, so ldaps is left to it there.
#ifdef _WIN32
constexpr const char* kSchemes[] = {"ldap"};
#else
constexpr const char* kSchemes[] = {"ldap", "ldaps"};
#endif

TEST(DirectoryClient, PagesThroughTheSubtree)
{
    for (const char* scheme : kSchemes) {
        SCOPED_TRACE(scheme);
        std::vector<size_t> progress;
        DirectoryResult result = platformDirectoryClient()->search(adminQuery(scheme), [&](size_t found) {
            progress.push_back(found);
            return true;
        });
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(progress, (std::vector<size_t>{0, 3, 6, 8}));
        std::vector<std::string> titles;
        for (const ImportCandidate& host : result.read.hosts)
            titles.push_back(host.title + (host.skipReason.empty() ? "" : " (" + host.skipReason + ")"));
        EXPECT_EQ(titles, (std::vector<std::string>{"Caf\xE9-01", "PC01", "SRV-OLD (disabled)", "SRV01",
                                                    "lap07 (disabled)", "nodns", "pc01", "srv02"}));
    }
}

TEST(DirectoryClient, CancelsBetweenPagesAndReportsTheServer)
{
    DirectoryResult cancelled =
        platformDirectoryClient()->search(adminQuery("ldap"), [](size_t found) { return found == 0; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.read.hosts.empty());

    DirectoryQuery wrong = adminQuery("ldap");
    wrong.password = "wrong";
    DirectoryResult refused = platformDirectoryClient()->search(wrong, {});
    EXPECT_NE(refused.error.find("bind to 127.0.0.1 failed"), std::string::npos) << refused.error;

    DirectoryQuery missing = adminQuery("ldap");
    missing.url = "ldap://127.0.0.1/OU=Nowhere,DC=test,DC=lan";
    EXPECT_NE(platformDirectoryClient()->search(missing, {}).error.find("search at 127.0.0.1 failed"),
              std::string::npos);
}

#ifndef _WIN32
// Windows checks certificates itself, and Wine accepts this one; libldap
// must refuse the server's self-signed certificate unless told not to.
TEST(DirectoryClient, ChecksTheCertificateUnlessInsecure)
{
    DirectoryQuery checked = adminQuery("ldaps");
    checked.insecure = false;
    DirectoryResult refused = platformDirectoryClient()->search(checked, {});
    EXPECT_NE(refused.error.find("certificate"), std::string::npos) << refused.error;
}
#endif
