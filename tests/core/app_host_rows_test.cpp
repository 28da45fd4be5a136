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

// Every word must occur in the title as shown or the host name; no word spans the two, and the colour is not searched.
TEST(HostRows, AFindShowsTheHostsThatHoldEveryWord)
{
    const std::tuple<const char*, const char*, int32_t> given[] = {
        {"SQL prod 01", "sql01.corp", -1}, {"Mail", "mail02.corp", 255}, {"Web||7", "web", -1},
        {"\xC4rger", "dc02", -1},          {"prod web", "", -1},
    };
    HostCatalogue hosts;
    for (const auto& [title, name, colour] : given)
        hosts.push_back(qbtest::host(title, name, 0, colour));
    CaseTable latin = asciiCaseTable();
    latin[0xC4] = 0xE4;
    HostRows rows;
    rows.rebuild(hosts);
    const auto shown = [&] {
        std::string titles;
        for (int row = 0; row < rows.count(); ++row)
            titles += std::string(rows.row(row).title) + ";";
        return titles;
    };
    const std::pair<const char*, const char*> cases[] = {
        {" \t ", "Mail;SQL prod 01;Web;prod web;\xC4rger;"},
        {"PROD  Sql", "SQL prod 01;"},
        {"01 corp", "SQL prod 01;"},
        {"\xE4r", "\xC4rger;"},
        {"7", ""},
        {"01sql", ""},
        {"rpweb", ""},
    };
    for (const auto& [text, expected] : cases) {
        rows.filter(text, latin);
        EXPECT_EQ(shown(), expected) << '"' << text << '"';
    }

    // The rows stand for the hosts found, both ways.
    rows.filter("prod", latin);
    EXPECT_EQ(rows.rowOf(hosts[4].get()), 1);
    EXPECT_EQ(rows.host(1), hosts[4].get());
    EXPECT_EQ(rows.rowOf(hosts[1].get()), -1) << "not found, not shown";
    EXPECT_EQ(rows.host(2), nullptr);
}
