#include "app/HostRows.h"
#include "catalogue/TextRules.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;

// Rows sort by the bytes of their display text, colour suffix included; each row finds its host and back.
TEST(HostRows, OrderIsAscendingByteOrderOfDisplayTextAndStable)
{
    const std::pair<const char*, int32_t> given[] = {
        {"beta", -1}, {"Zulu", -1}, {"a|", 1}, {"a||1", 5}, {"a", 1}, {"a", -1}, {"\xE9t\xE9", -1}, {"beta", -1},
    };
    HostCatalogue hosts;
    for (const auto& [title, colour] : given)
        hosts.push_back(qbtest::host(title, "", 0, colour));
    HostRows rows;
    rows.rebuild(hosts);
    std::vector<std::string> texts;
    for (int row = 0; row < rows.count(); ++row) {
        texts.push_back(hostDisplayText(*rows.host(row)));
        EXPECT_EQ(rows.rowOf(rows.host(row)), row);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Zulu", "a", "a||1", "a||1||5", "a|||1", "beta", "beta", "\xE9t\xE9"}));
    EXPECT_EQ(rows.host(5), hosts[0].get());
    EXPECT_EQ(rows.host(6), hosts[7].get());
    EXPECT_EQ(rows.host(8), nullptr);
    EXPECT_EQ(rows.rowOf(nullptr), -1);
    rows.clear();
    EXPECT_EQ(rows.count(), 0);
}

// What a row shows is what its display text shows: the title up to a "||" of its own, on the colour after it.
TEST(HostRows, ARowShowsWhatItsDisplayTextShows)
{
    // title, colour; shown title, row colour (-2: none)
    const std::tuple<const char*, int32_t, const char*, int32_t> cases[] = {
        {"Mail", -1, "Mail", -2}, {"Mail", 255, "Mail", 255}, {"Mail", 0, "Mail", 0},
        {"a||7", -1, "a", 7},     {"a||7", 255, "a", 7},      {"a||", 255, "a", 0},
        {"a||x||9", -1, "a", 0},  {"||", -1, "", 0},          {"a|b", 5, "a|b", 5},
    };
    for (const auto& [title, colour, shown, rowColour] : cases) {
        SCOPED_TRACE(title);
        const auto host = qbtest::host(title, "h", 42, colour);
        const HostRow row = hostRow(*host);
        EXPECT_EQ(row.title, shown);
        EXPECT_EQ(row.colour.value_or(-2), rowColour);
        EXPECT_EQ(row.icon, 42);
        const BarText parts = splitBarText(hostDisplayText(*host));
        EXPECT_EQ(parts.shown, row.title) << "as the display text reads";
        EXPECT_EQ(parts.hasNumber ? parts.number : -2, rowColour);
    }
}
