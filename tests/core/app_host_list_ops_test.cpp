#include "app/HostListOps.h"
#include "catalogue/CatalogueMerge.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;

namespace {

std::unique_ptr<HostItem> host(const std::string& title, int32_t colour = -1)
{
    auto h = qbtest::host(title, title + ".lan", 5, colour);
    h->entries.push_back(qbtest::entry(CustomCommand, "cmd of " + title));
    return h;
}

}  // namespace

// The editor only ever sees a working copy; hosts nobody edited stay the same objects, and Delete removes the one
// passed even when another is equal to it.
TEST(HostListOps, EachCommandWorksOnACopyThenRebuildsAndSaves)
{
    struct Case {
        const char* what;
        int id;
        size_t on;
        bool ok;
        const char* seen;  // the working host's title and colour as the editor got it; empty: not asked
        std::vector<std::string> titles;
        int focus;  // the host the rebuild focused, -1 none, -2 no rebuild or save
    };
    const Case cases[] = {
        {"dismissed menu", 0, 0, true, "", {"alpha", "beta", "beta"}, -2},
        {"a foreign id", 4699, 0, true, "", {"alpha", "beta", "beta"}, -2},
        {"Properties, cancelled", CmdProperties, 0, false, "alpha 255", {"alpha", "beta", "beta"}, -2},
        {"Properties", CmdProperties, 0, true, "alpha 255", {"renamed", "beta", "beta"}, 0},
        {"Add, cancelled", CmdAddItem, 0, false, " -1", {"alpha", "beta", "beta"}, -2},
        {"Add", CmdAddItem, 0, true, " -1", {"alpha", "beta", "beta", "renamed"}, 3},
        {"Copy, cancelled: rewritten all the same", CmdCopy, 0, false, "alpha -1", {"alpha", "beta", "beta"}, -1},
        {"Copy", CmdCopy, 0, true, "alpha -1", {"alpha", "beta", "beta", "renamed"}, 3},
        {"Delete", CmdDelete, 2, true, "", {"alpha", "beta"}, -1},
        {"Options: in memory only", CmdOptions, 0, true, "", {"alpha", "beta", "beta"}, -2},
        {"Options, cancelled", CmdOptions, 0, false, "", {"alpha", "beta", "beta"}, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HostCatalogue hosts;
        for (auto* made : {host("alpha", 255).release(), host("beta").release(), host("beta").release()})
            hosts.emplace_back(made);
        const std::vector<HostItem*> before = {hosts[0].get(), hosts[1].get(), hosts[2].get()};
        AppOptions options;
        options.rdpWidth = -1;
        options.rdpHeight = 600;
        qbtest::FakeHostListUi ui;
        std::string seen;
        ui.editor = [&](HostItem& working) {
            EXPECT_EQ(std::count_if(hosts.begin(), hosts.end(), [&](auto& h) { return h.get() == &working; }), 0);
            if (!working.entries.empty()) {
                EXPECT_NE(working.entries[0].name().data(), hosts[c.on]->entries[0].name().data());
            }
            seen = working.title + " " + std::to_string(working.colour);
            working.title = "renamed";
            working.colour = 0x00ff00;
            working.entries.clear();
            return c.ok;
        };
        ui.options = [&](OptionsForm& form) {
            form.hideTaskbarButton = true;
            return c.ok;
        };
        HostListOps(hosts, options, ui).runCommand(c.id, *hosts[c.on]);

        EXPECT_EQ(seen, c.seen);
        if (!seen.empty()) {
            EXPECT_EQ(std::make_pair(ui.seenWidth, ui.seenHeight), std::make_pair(-1, 600));
        }
        EXPECT_EQ(qbtest::titlesOf(hosts), c.titles);
        for (size_t i = 0; i < std::min<size_t>(3, hosts.size()); ++i)
            EXPECT_EQ(hosts[i].get(), before[i]) << i;
        for (const auto& h : hosts) {
            EXPECT_TRUE(h->title == "renamed" ? h->colour == 0x00ff00 && h->entries.empty()
                                              : sameHost(*h, *host(h->title, h->title == "alpha" ? 255 : -1)))
                << h->title;
        }
        EXPECT_EQ(ui.fills, c.focus == -2 ? 0 : 1);
        EXPECT_EQ(ui.saves, ui.fills);
        EXPECT_EQ(ui.focused, c.focus >= 0 ? hosts[size_t(c.focus)].get() : nullptr);
        EXPECT_EQ(options.hideTaskbarButton, c.id == CmdOptions && c.ok);
    }
}
