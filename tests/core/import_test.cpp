#include "catalogue/CatalogueMerge.h"
#include "catalogue_test_support.h"
#include "import/ImportRules.h"

#include <gtest/gtest.h>

using namespace qb;

namespace {

std::vector<ImportCandidate> candidates(std::initializer_list<std::pair<const char*, const char*>> hosts)
{
    std::vector<ImportCandidate> out;
    for (auto [title, host] : hosts)
        out.push_back({title, host, -1, -1, {}, {}});
    return out;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(ImportRules, NamesThatMayReachACommandLine)
{
    for (auto [name, valid] : {std::pair{"pc01", true}, {"PC-01.corp_x.example", true}, {"pc01:3389", true},
                               {"10.0.0.7:65535", true}, {"pc01:", false}, {"pc01:33890", true},
                               {"pc01:338901", false}, {":3389", false}, {"pc01:rdp", false}, {"pc 01", false},
                               {"x\" & calc.exe & \"y", false}, {"pc01;calc", false}, {"caf\xe9", false},
                               {"pc01\\c$", false}}) {
        EXPECT_EQ(isValidHostName(name), valid) << name;
    }
}

TEST(ImportRules, SameHostName)
{
    for (auto [a, b, same] : {std::tuple{"pc01", "PC01", true}, {"pc01", "pc01.corp.example", true},
                              {"PC01.CORP.example", "pc01", true}, {"pc01.a.example", "pc01.b.example", false},
                              {"pc01.corp", "pc01.corp.example", false}, {"pc01", "pc011", false},
                              {"pc01:3390", "pc01.corp.example:3390", true}, {"pc01:3390", "pc01", false}}) {
        EXPECT_EQ(sameHostName(a, b), same) << a << " " << b;
    }
}

TEST(ImportRules, PlanSkipsInOrderOfReason)
{
    qbtest::Loaded catalogue;
    catalogue.hosts.push_back(qbtest::host("Old", "PC01", 0, -1));
    auto hosts = candidates({{"A", "pc01.corp.example"}, {"B", "x\" & calc.exe & \"y"}, {"C", ""}, {"D", "pc02"},
                             {"E", "PC02.corp.example"}, {"F", "pc02:3390"}, {"G", "pc03"}});
    hosts.back().skipReason = kSkipDisabled;
    std::vector<ImportItem> plan = planImport(catalogue.hosts, hosts);
    Lines reasons;
    for (const ImportItem& item : plan)
        reasons.push_back(item.reason);
    EXPECT_EQ(reasons, (Lines{"duplicate", "invalid name", "no name", "", "duplicate", "", "disabled"}));
    EXPECT_EQ(importResultJson(plan).dump(),
              R"({"added":["D","F"],"skipped":[{"title":"A","reason":"duplicate"},{"title":"B","reason":"invalid )"
              R"(name"},{"title":"C","reason":"no name"},{"title":"E","reason":"duplicate"},)"
              R"({"title":"G","reason":"disabled"}]})");
}

TEST(ImportRules, ImportedHostDefaultsAndTemplate)
{
    ImportCandidate candidate{"", "pc01.corp.example:3390", 130, 0x1000000, {}, {}};
    auto host = importedHost(candidate, {5, true});
    EXPECT_EQ(host->title, "pc01.corp.example:3390");
    EXPECT_EQ(host->icon, 5);  // the source's is out of range
    EXPECT_EQ(host->colour, -1);
    ASSERT_EQ(host->entries.size(), 1u);
    EXPECT_EQ(host->entries[0]->kind, WindowsTemplate);
    EXPECT_EQ(host->entries[0]->templateHost, "pc01.corp.example");
    EXPECT_EQ(host->entries[0]->drives, "C$");
    EXPECT_EQ(host->entries[0]->icon, 17);

    auto plain = importedHost({"a<b\r\nc", "pc02", 7, 255, {}, {}}, {});
    EXPECT_EQ(plain->title, "a(b  c");  // would end the title or the line in the file
    EXPECT_EQ(plain->icon, 7);
    EXPECT_EQ(plain->colour, 255);
    EXPECT_TRUE(plain->entries.empty());
}

