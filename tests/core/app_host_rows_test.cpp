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
        // titles and suffixes compare as one text
        {{{"a|", 1}, {"a||1", 5}, {"a", 1}, {"a", -1}}, {"a", "a||1", "a||1||5", "a|||1"}},
        {{{"\xE9t\xE9", -1}, {"zz", -1}, {"", -1}}, {"", "zz", "\xE9t\xE9"}},  // high bytes after ASCII
    };
    for (const auto& [input, expected] : cases) {
        std::vector<std::string> texts;
        const HostCatalogue hosts = makeHosts(input);
        for (const HostItem* row : sortedHostRows(hosts))
            texts.push_back(hostDisplayText(*row));
        EXPECT_EQ(texts, expected);
    }
}

TEST(HostRows, EqualTextsKeepCatalogueOrder)
{
    auto hosts = makeHosts({{"b", 255}, {"a", -1}, {"b", 255}});
    const std::vector<HostItem*> expected = {hosts[1].get(), hosts[0].get(), hosts[2].get()};
    EXPECT_EQ(sortedHostRows(hosts), expected);
}
