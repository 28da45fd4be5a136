#include "app/HostListOps.h"
#include "catalogue/CatalogueMerge.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;
using qbtest::FakeHostListUi;

namespace {

std::unique_ptr<HostItem> host(const std::string& title, int32_t colour = -1)
{
    auto h = qbtest::host(title, title + ".lan", 5, colour);
    h->entries.push_back(qbtest::entry(CustomCommand, "cmd of " + title));
    return h;
}

struct HostListOpsTest : ::testing::Test {
    HostCatalogue hosts;
    AppOptions options;
    FakeHostListUi ui;
    HostListOps ops{hosts, options, ui};

    void SetUp() override
    {
        hosts.push_back(host("alpha", 255));
        hosts.push_back(host("beta"));
    }
};

bool renameAndChange(HostItem& h)
{
    h.title = "renamed";
    h.colour = 0x00ff00;
    h.entries.clear();
    return true;
}

}  // namespace

TEST_F(HostListOpsTest, EditHostWorksOnACopyAndTakesItBackOnOk)
{
    options.rdpWidth = -1;
    options.rdpHeight = 600;
    HostItem& alpha = *hosts[0];
    ui.editor = [&](HostItem& working) {
        EXPECT_NE(&working, &alpha);
        EXPECT_EQ(working.colour, 255);
        EXPECT_NE(working.entries[0].name().data(), alpha.entries[0].name().data());
        return renameAndChange(working);
    };
    EXPECT_TRUE(ops.editHost(alpha));
    EXPECT_EQ(ui.seenWidth, -1);
    EXPECT_EQ(ui.seenHeight, 600);
    EXPECT_EQ(alpha.title, "renamed");
    EXPECT_EQ(alpha.colour, 0x00ff00);
    EXPECT_TRUE(alpha.entries.empty());
}

TEST_F(HostListOpsTest, CancelOrAForeignIdLeavesEverythingUntouched)
{
    for (int id : {0, 1029, 4699})  // 0: the menu was dismissed
        ops.runCommand(id, *hosts[0]);
    ui.editor = [](HostItem& h) { return !renameAndChange(h); };
    HostItem& alpha = *hosts[0];
    ops.hostProperties(alpha);
    EXPECT_TRUE(sameHost(alpha, *host("alpha", 255)));

    ops.addHost();  // cancelled Add: nothing appended
    EXPECT_EQ(hosts.size(), 2u);
    EXPECT_EQ(ui.fills + ui.saves, 0);
    EXPECT_EQ(ui.editorRuns, 2) << "only Properties and Add ask";

    ui.focused = hosts[0].get();
    ops.runCommand(CmdCopy, *hosts[1]);  // a cancelled Copy still rebuilds and saves
    EXPECT_EQ(hosts.size(), 2u);
    EXPECT_EQ(ui.focused, nullptr) << "the focus stays where it was";
    EXPECT_EQ(ui.fills, 1);
    EXPECT_EQ(ui.saves, 1);
}

TEST_F(HostListOpsTest, AddAndCopyAppendLastOnOk)
{
    ui.editor = [](HostItem& h) {
        EXPECT_TRUE(h.title.empty() && h.colour == -1 && h.entries.empty());
        h.title = "gamma";
        return true;
    };
    ops.runCommand(CmdAddItem, *hosts[0]);
    ASSERT_EQ(hosts.size(), 3u);
    EXPECT_EQ(hosts[2]->title, "gamma");
    EXPECT_EQ(ui.focused, hosts[2].get()) << "the focus goes to the added host";

    ui.editor = [](HostItem& h) {
        EXPECT_EQ(h.colour, -1);  // the editor already sees the copy without colour
        h.title += " copy";
        return true;
    };
    ops.runCommand(CmdCopy, *hosts[0]);
    ASSERT_EQ(hosts.size(), 4u);
    EXPECT_EQ(ui.focused, hosts[3].get()) << "and to the copy";
    EXPECT_EQ(hosts[3]->title, "alpha copy");
    EXPECT_EQ(hosts[3]->colour, -1);
    EXPECT_EQ(hosts[0]->colour, 255);
    EXPECT_EQ(ui.fills, 2);
    EXPECT_EQ(ui.saves, 2);
}

TEST_F(HostListOpsTest, DeleteAndPropertiesActOnTheHostPassedIn)
{
    for (int i = 0; i < 140; ++i)  // rows beyond 128 too
        hosts.push_back(host("h" + std::to_string(i)));
    HostItem* late = hosts[135].get();
    ui.editor = renameAndChange;
    ops.runCommand(CmdProperties, *late);
    EXPECT_EQ(late->title, "renamed");
    EXPECT_EQ(ui.focused, late);
    ops.runCommand(CmdDelete, *late);
    EXPECT_EQ(ui.focused, nullptr);
    EXPECT_EQ(hosts.size(), 141u);
    EXPECT_EQ(ui.editorRuns, 1);
    hosts.resize(2);

    // Two hosts with equal content: the one passed in goes, not the first match.
    hosts.push_back(host("beta"));
    HostItem* second = hosts[2].get();
    ops.runCommand(CmdDelete, *second);
    EXPECT_EQ(ui.editorRuns, 1);  // no question asked
    ASSERT_EQ(hosts.size(), 2u);
    EXPECT_NE(hosts[1].get(), second);
    EXPECT_EQ(ui.fills, 3);
    EXPECT_EQ(ui.saves, 3);
}

TEST_F(HostListOpsTest, OptionsChangeMemoryOnlyAndOnlyOnOk)
{
    for (const bool ok : {true, false}) {  // OK with the box ticked, then Cancel with it cleared
        ui.options = [ok](OptionsForm& form) { return form.hideTaskbarButton = ok; };
        ops.runCommand(CmdOptions, *hosts[0]);
        EXPECT_TRUE(options.hideTaskbarButton) << ok;
    }
    EXPECT_EQ(ui.fills + ui.saves, 0);
}
