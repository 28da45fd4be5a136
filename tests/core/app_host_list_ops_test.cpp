#include "app/HostListOps.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qb;

namespace {

// Records what the operations ask of the window; the editor's behaviour is
// a function the test sets.
struct FakeUi : HostListUi {
    std::function<bool(HostItem&)> editor = [](HostItem&) { return false; };
    std::function<bool(OptionsForm&)> options = [](OptionsForm&) { return false; };
    int editorRuns = 0;
    int fills = 0;
    int saves = 0;
    int32_t seenWidth = 0, seenHeight = 0;
    HostItem* seenWorking = nullptr;

    bool runHostEditor(HostItem& working, int32_t w, int32_t h) override
    {
        ++editorRuns;
        seenWorking = &working;
        seenWidth = w;
        seenHeight = h;
        return editor(working);
    }
    bool runOptionsDialog(OptionsForm& form) override { return options(form); }
    void fillHostList() override { ++fills; }
    void saveCatalogue() override { ++saves; }
};

std::unique_ptr<HostItem> host(const std::string& title, int32_t colour = -1)
{
    auto h = newHost();
    h->title = title;
    h->hostName = title + ".lan";
    h->icon = 5;
    h->colour = colour;
    auto e = newEntry();
    e->name = "cmd of " + title;
    h->entries.push_back(std::move(e));
    return h;
}

struct HostListOpsTest : ::testing::Test {
    HostCatalogue hosts;
    AppOptions options;
    FakeUi ui;
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

bool scribbleAndCancel(HostItem& h)
{
    h.title = "scribbled";
    h.colour = 0x123456;
    h.icon = 99;
    h.entries.clear();
    return false;
}

}  // namespace

TEST(AppHostContextMenu, TextsAndOrder)
{
    auto items = hostContextMenu("A&B \"x\"");
    ASSERT_EQ(items.size(), 7u);
    const std::pair<int, std::string> expected[] = {
        {CmdAddItem, "Add new item"},
        {CmdDelete, "Delete \"A&B \"x\"\""},
        {CmdCopy, "Copy \"A&B \"x\"\""},
        {0, ""},
        {CmdOptions, "Options..."},
        {0, ""},
        {CmdProperties, "Properties for \"A&B \"x\"\""},
    };
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, expected[i].first);
        EXPECT_EQ(items[i].text, expected[i].second);
    }

    // Ids that are not the menu's (0: dismissed) change nothing.
    HostCatalogue hosts;
    hosts.push_back(newHost());
    AppOptions options;
    FakeUi ui;
    HostListOps ops(hosts, options, ui);
    for (int id : {0, 1029, 4699})
        ops.runCommand(id, *hosts[0]);
    EXPECT_EQ(ui.editorRuns + ui.fills + ui.saves, 0);
    EXPECT_EQ(hosts.size(), 1u);
}

TEST_F(HostListOpsTest, EditHostWorksOnACopyAndTakesItBackOnOk)
{
    options.rdpWidth = -1;
    options.rdpHeight = 600;
    HostItem& alpha = *hosts[0];
    ui.editor = [&](HostItem& working) {
        EXPECT_NE(&working, &alpha);
        EXPECT_EQ(working.title, "alpha");
        EXPECT_EQ(working.colour, 255);
        EXPECT_EQ(working.entries.size(), 1u);
        EXPECT_NE(working.entries[0].get(), alpha.entries[0].get());
        return renameAndChange(working);
    };
    EXPECT_TRUE(ops.editHost(alpha));
    EXPECT_EQ(ui.seenWidth, -1);
    EXPECT_EQ(ui.seenHeight, 600);
    EXPECT_EQ(alpha.title, "renamed");
    EXPECT_EQ(alpha.colour, 0x00ff00);
    EXPECT_TRUE(alpha.entries.empty());
}

TEST_F(HostListOpsTest, CancelLeavesEverythingUntouched)
{
    ui.editor = scribbleAndCancel;
    HostItem& alpha = *hosts[0];

    ops.hostProperties(alpha);
    EXPECT_EQ(alpha.title, "alpha");
    EXPECT_EQ(alpha.colour, 255);
    EXPECT_EQ(alpha.icon, 5);
    ASSERT_EQ(alpha.entries.size(), 1u);
    EXPECT_EQ(alpha.entries[0]->name, "cmd of alpha");
    EXPECT_EQ(ui.fills, 0);
    EXPECT_EQ(ui.saves, 0);

    ops.addHost();  // cancelled Add: no rebuild, no save, nothing appended
    EXPECT_EQ(hosts.size(), 2u);
    EXPECT_EQ(ui.fills, 0);
    EXPECT_EQ(ui.saves, 0);
}

TEST_F(HostListOpsTest, AddAppendsAFreshHostOnOk)
{
    ui.editor = [](HostItem& h) {
        EXPECT_EQ(h.title, "");
        EXPECT_EQ(h.colour, -1);
        EXPECT_TRUE(h.entries.empty());
        h.title = "gamma";
        return true;
    };
    ops.runCommand(CmdAddItem, *hosts[0]);
    ASSERT_EQ(hosts.size(), 3u);
    EXPECT_EQ(hosts[2]->title, "gamma");
    EXPECT_EQ(ui.fills, 1);
    EXPECT_EQ(ui.saves, 1);
}

TEST_F(HostListOpsTest, CopyAppendsUncolouredDuplicateLast)
{
    ui.editor = [](HostItem& h) {
        EXPECT_EQ(h.colour, -1);  // the editor already sees the copy without colour
        h.title += " copy";
        return true;
    };
    ops.runCommand(CmdCopy, *hosts[0]);
    ASSERT_EQ(hosts.size(), 3u);
    EXPECT_EQ(hosts[2]->title, "alpha copy");
    EXPECT_EQ(hosts[2]->hostName, "alpha.lan");
    EXPECT_EQ(hosts[2]->colour, -1);
    ASSERT_EQ(hosts[2]->entries.size(), 1u);
    hosts[2]->entries[0]->name = "changed";
    EXPECT_EQ(hosts[0]->entries[0]->name, "cmd of alpha");
    EXPECT_EQ(hosts[0]->colour, 255);
    EXPECT_EQ(ui.saves, 1);
}

TEST_F(HostListOpsTest, CancelledCopyStillRebuildsAndSaves)
{
    ui.editor = scribbleAndCancel;
    ops.runCommand(CmdCopy, *hosts[1]);
    EXPECT_EQ(hosts.size(), 2u);
    EXPECT_EQ(ui.fills, 1);
    EXPECT_EQ(ui.saves, 1);
}

TEST_F(HostListOpsTest, DeleteRemovesByIdentityWithoutAsking)
{
    // Two hosts with equal content: the one passed in goes, not the first match.
    hosts.push_back(host("beta"));
    HostItem* second = hosts[2].get();
    ops.runCommand(CmdDelete, *second);
    EXPECT_EQ(ui.editorRuns, 0);
    ASSERT_EQ(hosts.size(), 2u);
    EXPECT_NE(hosts[1].get(), second);
    EXPECT_EQ(ui.fills, 1);
    EXPECT_EQ(ui.saves, 1);

    ops.runCommand(CmdDelete, *hosts[0]);
    ops.runCommand(CmdDelete, *hosts[0]);
    EXPECT_TRUE(hosts.empty());
    EXPECT_EQ(ui.saves, 3);
}

TEST_F(HostListOpsTest, RowsBeyond128AreEditableAndDeletable)
{
    for (int i = 0; i < 140; ++i)
        hosts.push_back(host("h" + std::to_string(i)));
    HostItem* late = hosts[135].get();
    ui.editor = renameAndChange;
    ops.runCommand(CmdProperties, *late);
    EXPECT_EQ(late->title, "renamed");
    ops.runCommand(CmdDelete, *late);
    EXPECT_EQ(hosts.size(), 141u);
    EXPECT_EQ(ui.saves, 2);
}

TEST_F(HostListOpsTest, OptionsChangeMemoryOnlyAndOnlyOnOk)
{
    options.rdpWidth = 1024;
    ui.options = [](OptionsForm& form) {
        EXPECT_EQ(form.rdpWidthText, "1024");
        EXPECT_EQ(form.rdpHeightText, "768");
        form.rdpWidthText = "1280px";
        form.rdpHeightText = "abc";
        form.hideTaskbarButton = true;
        form.alternateBrowserText = "";
        return true;
    };
    ops.runCommand(CmdOptions, *hosts[0]);
    EXPECT_EQ(options.rdpWidth, 1280);
    EXPECT_EQ(options.rdpHeight, 0);
    EXPECT_TRUE(options.hideTaskbarButton);
    EXPECT_EQ(options.alternateBrowserPath, "");
    EXPECT_EQ(ui.fills, 0);
    EXPECT_EQ(ui.saves, 0);

    ui.options = [](OptionsForm& form) {
        form.rdpWidthText = "-1";
        return false;
    };
    ops.runCommand(CmdOptions, *hosts[0]);
    EXPECT_EQ(options.rdpWidth, 1280);
}
