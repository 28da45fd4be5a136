#include "catalogue/CatalogueMerge.h"

#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace qb;

namespace {

// "a b' c": one host per word; the letters are the title, the whole word the host name, so "b" and "b'" are two
// versions of the host titled b.
HostCatalogue hosts(const std::string& words)
{
    HostCatalogue made;
    std::istringstream in(words);
    for (std::string word; in >> word;)
        made.push_back(qbtest::host(word.substr(0, word.find('\'')), word, 0, -1));
    return made;
}

std::string words(const HostCatalogue& catalogue)
{
    std::string text;
    for (const auto& host : catalogue)
        text += (text.empty() ? "" : " ") + host->hostName;
    return text;
}

CatalogueVersion version(const std::string& words)
{
    return {hosts(words), {}, 0, 0};
}

}  // namespace

TEST(CatalogueMerge, HostSequencesMergeLikeLines)
{
    // base, mine, theirs, merged, titles of the conflicting hosts
    const std::array<const char*, 5> cases[] = {
        // One side alone, the same change on both, both touching (apart: the companion's merge test).
        {"a b c", "a b c", "x b' c", "x b' c", ""},
        {"a b c", "a b'", "a b'", "a b'", ""},
        {"a b c", "a' b c", "a b' c", "a' b' c", ""},
        // Both inserted at the same place: theirs, then mine's new ones.
        {"a b", "a x y b", "a y z b", "a y z x b", ""},
        // Different changes of the same hosts keep both versions.
        {"a b c", "a c", "a b' c", "a b' c", "b"},
        {"a b c", "a' b'", "a b'' c'", "a b'' c' a' b'", "a,b,c"},
        // An insertion inside a range the other side replaced: both versions kept.
        {"a b c d e", "a b' c' d' e", "a b c x d e", "a b c x d b' c' d' e", "b,c,x,d"},
        // An emptied side.
        {"a b", "", "a b'", "a b'", "a,b"},
    };
    for (auto [base, mine, theirs, merged, conflicts] : cases) {
        SCOPED_TRACE(std::string(base) + " | " + mine + " | " + theirs);
        auto result = mergeCatalogues(version(base), version(mine), version(theirs));
        EXPECT_EQ(words(result.merged.hosts), merged);
        std::string titles;
        for (const auto& title : result.conflicts)
            titles += (titles.empty() ? "" : ",") + title;
        EXPECT_EQ(titles, conflicts);
    }
}

TEST(CatalogueMerge, HostsDifferingInAnyFieldAreDifferentHosts)
{
    const std::function<void(HostItem&)> changes[] = {
        [](HostItem& h) { h.title += "x"; },
        [](HostItem& h) { h.hostName += "x"; },
        [](HostItem& h) { h.icon = 4; },
        [](HostItem& h) { h.colour = 255; },
        [](HostItem& h) { h.entries.swap(0, 1); },
        // a field the entry's kind does not write
        [](HostItem& h) { h.entries.update(0, [](CommandEntry& e) { e.templateHost = "x"; }); },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(i);
        CatalogueVersion base, mine, theirs;
        base.hosts.push_back(qbtest::mailHost());
        mine.hosts.push_back(qbtest::mailHost());
        theirs.hosts.push_back(qbtest::mailHost());
        changes[i](*mine.hosts[0]);
        theirs.hosts[0]->colour = 7;
        EXPECT_FALSE(sameHost(*base.hosts[0], *mine.hosts[0]));
        // Seen as a change, mine conflicts with theirs.
        EXPECT_EQ(mergeCatalogues(base, mine, theirs).merged.hosts.size(), 2u);
    }
}

// Each option is theirs where mine kept the base's, else mine's; the window stands where mine's does.
TEST(CatalogueMerge, EachOptionIsTheirsWhereMineKeptTheBase)
{
    CatalogueVersion base = version(""), mine = version(""), theirs = version("");
    auto change = [](AppOptions& o, int v) {
        o.alternateBrowserPath = "b" + std::to_string(v) + ".exe";
        o.rdpWidth = v;
        o.rdpHeight = v + 10;
        o.hideTaskbarButton = true;
    };
    mine.x = 10;
    mine.y = -20;
    theirs.x = 30;
    change(theirs.options, 1);
    for (const bool mineChanged : {false, true}) {
        if (mineChanged)
            change(mine.options, 2);
        const CatalogueVersion merged = mergeCatalogues(base, mine, theirs).merged;
        EXPECT_EQ(formatCatalogue({}, merged.options, merged.x, merged.y),
                  formatCatalogue({}, (mineChanged ? mine : theirs).options, 10, -20));
    }
}

// An edit script long enough that the diff splits it where its paths reached furthest.
TEST(CatalogueMerge, AReorderedCatalogueMergesToTheNewOrder)
{
    std::string base, reordered;
    for (int i = 0; i < 3000; ++i) {
        base += " h" + std::to_string(i);
        reordered += " h" + std::to_string((i * 7919) % 3000) + (i % 100 ? "" : "'");
    }
    for (auto [mine, theirs] : {std::pair{base, reordered}, std::pair{reordered, base}}) {
        auto result = mergeCatalogues(version(base), version(mine), version(theirs));
        EXPECT_EQ(words(result.merged.hosts), words(hosts(reordered)));
    }
}
