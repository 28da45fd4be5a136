#include "app/HostRows.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qb;

namespace {

HostCatalogue makeHosts(const std::vector<std::pair<std::string, int32_t>>& titlesAndColours)
{
    HostCatalogue hosts;
    int32_t icon = 0;
    for (const auto& [title, colour] : titlesAndColours) {
        auto host = newHost();
        host->title = title;
        host->colour = colour;
        host->icon = icon++;
        hosts.push_back(std::move(host));
    }
    return hosts;
}

std::vector<std::string> texts(const std::vector<HostRow>& rows)
{
    std::vector<std::string> out;
    for (const auto& row : rows) {
        out.push_back(row.text);
    }
    return out;
}

}  // namespace

TEST(HostRows, EmptyCatalogueGivesNoRows)
{
    EXPECT_TRUE(sortedHostRows(HostCatalogue{}).empty());
}

TEST(HostRows, OrderIsAscendingByteOrderOfDisplayText)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, int32_t>> hosts;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"reverse input", {{"c", -1}, {"b", -1}, {"a", -1}}, {"a", "b", "c"}},
        {"upper case before lower case", {{"beta", -1}, {"Zulu", -1}, {"alpha", -1}},
         {"Zulu", "alpha", "beta"}},
        {"colour suffix is part of the text", {{"web||255", -1}, {"web", 255}, {"web", -1}, {"web", 0}},
         {"web", "web||0", "web||255", "web||255"}},
        {"prefix sorts first", {{"mail01", -1}, {"mail", -1}, {"mail0", -1}}, {"mail", "mail0", "mail01"}},
        {"high bytes after ASCII", {{"\xE9t\xE9", -1}, {"zz", -1}, {"", -1}}, {"", "zz", "\xE9t\xE9"}},
    };
    for (const auto& c : cases) {
        auto hosts = makeHosts(c.hosts);
        EXPECT_EQ(texts(sortedHostRows(hosts)), c.expected) << c.what;
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
