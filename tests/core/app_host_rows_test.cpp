#include "app/HostRows.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qb;

namespace {

HostCatalogue makeHosts(const std::vector<std::pair<std::string, int32_t>>& titlesAndColours)
{
    HostCatalogue hosts;
    for (const auto& [title, colour] : titlesAndColours)
        hosts.push_back(qbtest::host(title, "", static_cast<int32_t>(hosts.size()) + 1, colour));
    return hosts;
}

}  // namespace

TEST(HostRows, OrderIsAscendingByteOrderOfDisplayText)
{
    const std::pair<std::vector<std::pair<std::string, int32_t>>, std::vector<std::string>> cases[] = {
        {{}, {}},
        {{{"beta", -1}, {"Zulu", -1}, {"alpha", -1}}, {"Zulu", "alpha", "beta"}},
        // the colour suffix is part of the text
        {{{"web||255", -1}, {"web", 255}, {"web", -1}, {"web", 0}}, {"web", "web||0", "web||255", "web||255"}},
        {{{"mail01", -1}, {"mail", -1}, {"mail0", -1}}, {"mail", "mail0", "mail01"}},
        {{{"\xE9t\xE9", -1}, {"zz", -1}, {"", -1}}, {"", "zz", "\xE9t\xE9"}},  // high bytes after ASCII
    };
    for (const auto& [input, expected] : cases) {
        std::vector<std::string> texts;
        for (const auto& row : sortedHostRows(makeHosts(input)))
            texts.push_back(row.text);
        EXPECT_EQ(texts, expected);
    }
}

TEST(HostRows, RowsCarryTheirOwnHostAndIcon)
{
    auto hosts = makeHosts({{"b", 255}, {"a", -1}, {"b", 255}});
    const auto rows = sortedHostRows(hosts);
    ASSERT_EQ(rows.size(), 3u);
    // Equal texts keep catalogue order, and every row points at the host it shows.
    EXPECT_EQ(rows[0].host, hosts[1].get());
    EXPECT_EQ(rows[1].host, hosts[0].get());
    EXPECT_EQ(rows[2].host, hosts[2].get());
    for (const auto& row : rows) {
        EXPECT_EQ(row.icon, row.host->icon);
        EXPECT_EQ(row.text, hostDisplayText(*row.host));
    }
}
