#include "app/HostRows.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;

// Rows sort by the bytes of their display text, colour suffix included.
TEST(HostRows, OrderIsAscendingByteOrderOfDisplayTextAndStable)
{
    const std::pair<const char*, int32_t> given[] = {
        {"beta", -1}, {"Zulu", -1}, {"a|", 1}, {"a||1", 5}, {"a", 1}, {"a", -1}, {"\xE9t\xE9", -1}, {"beta", -1},
    };
    HostCatalogue hosts;
    for (const auto& [title, colour] : given)
        hosts.push_back(qbtest::host(title, "", 0, colour));
    std::vector<std::string> texts;
    for (const HostItem* row : sortedHostRows(hosts))
        texts.push_back(hostDisplayText(*row));
    EXPECT_EQ(texts, (std::vector<std::string>{"Zulu", "a", "a||1", "a||1||5", "a|||1", "beta", "beta", "\xE9t\xE9"}));
    const std::vector<HostItem*> rows = sortedHostRows(hosts);
    EXPECT_EQ(rows[5], hosts[0].get());
    EXPECT_EQ(rows[6], hosts[7].get());
}
