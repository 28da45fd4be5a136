#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "fakes.h"

namespace {

using qb::HostMenuItem;
using qb::MenuItemType;

struct HostMenuTest : ::testing::Test {
    HostMenuTest()
    {
        // Marks that show which slots a build left alone.
        for (auto& slot : slots)
            slot.program = "untouched";
    }
    qb::CommandEntry& add(qb::EntryKind kind, const std::string& text = "", int32_t icon = 0)
    {
        qb::CommandEntry& e = entries.emplace_back();
        e.kind = kind;
        e.icon = icon;
        e.name = e.urlName = e.templateHost = text;
        e.program = text + ".exe";
        e.url = "http://" + text;
        return e;
    }
    qb::HostMenu build()
    {
        host.entries.clear();
        for (const qb::CommandEntry& entry : entries)
            host.entries.push_back(entry);
        return qb::buildHostMenu(host, options, browsers, slots, images);
    }

    std::deque<qb::CommandEntry> entries;
    qb::HostItem host;
    qb::AppOptions options;
    qbtest::FakeLauncher browsers;
    qb::CommandSlots slots;
    qb::CommandImages images{};
};

std::vector<int> idsOf(const std::vector<HostMenuItem>& items)
{
    std::vector<int> ids;
    for (const auto& item : items)
        if (item.type == MenuItemType::Command)
            ids.push_back(item.id);
    return ids;
}

TEST_F(HostMenuTest, IdsFollowItemOrderAcrossTemplates)
{
    add(qb::CustomCommand, "A", 5).bold = true;
    add(qb::Separator);
    add(qb::WindowsTemplate, "srv", 12);
    add(qb::Url, "B", 40).bold = true;
    add(static_cast<qb::EntryKind>(7), "unknown");
    const qb::HostMenu menu = build();

    // The items' kinds, texts and pictures as shown: the companion's menu checks.
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(idsOf(menu.items), (std::vector<int>{1, 7}));
    EXPECT_EQ(idsOf(menu.items[2].items), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_FALSE(menu.items[3].bold);  // URL items never are
    EXPECT_TRUE(menu.items[2].bold);   // template sub-menus always are
    EXPECT_EQ(slots[1].program, "A.exe");
    // The kind and name say which remembered password a slot may use: a template's or an address's none.
    const auto kindAndName = [&](int id) { return std::pair(slots[size_t(id)].kind, slots[size_t(id)].name); };
    EXPECT_EQ(kindAndName(1), std::pair(qb::CustomCommand, std::string("A")));
    EXPECT_EQ(kindAndName(2), std::pair(qb::WindowsTemplate, std::string("RDP")));
    EXPECT_EQ(kindAndName(7), std::pair(qb::Url, std::string("B")));
    EXPECT_EQ(images[7], 40);
    EXPECT_EQ(slots[0].program, "untouched");
    EXPECT_EQ(slots[8].program, "untouched");
}

TEST_F(HostMenuTest, UrlItemsTakeTheirBrowserAtBuild)
{
    options.alternateBrowserPath = R"(D:\alt.exe)";
    add(qb::Url, "one").confirm = true;
    add(qb::Url, "alternate").alternateBrowser = true;
    add(qb::Url, "two");
    build();                              // (which browser: the companion's menu checks)
    EXPECT_FALSE(slots[1].confirm);       // never asked for
    EXPECT_EQ(browsers.browserReads, 2);  // once per item, none cached
}

TEST_F(HostMenuTest, TemplateItemsNeverGoAboveTheLastId)
{
    // custom commands before the template, its shares, the template's ids
    const std::tuple<int, const char*, std::vector<int>> cases[] = {
        {119, "", {120, 121, 122, 123, 124}},
        {130, "", {}},  // later entries are dropped, the template kept empty
        // Surplus shares are dropped; the four fixed items after them fit.
        {117, "A$,B$,C$,D$,E$", {118, 119, 120, 121, 122, 123, 124, 125}},
    };
    for (const auto& [customs, drives, ids] : cases) {
        SCOPED_TRACE(testing::Message() << customs << " " << drives);
        entries.clear();
        for (int i = 0; i < customs; ++i)
            add(qb::CustomCommand, "c" + std::to_string(i));
        if (customs > 125) {
            add(qb::Separator);
            add(qb::Url, "late");
        }
        add(qb::WindowsTemplate, "srv").drives = drives;
        const qb::HostMenu menu = build();
        EXPECT_EQ(menu.items.size(), std::min(customs, 125) + 1u);
        EXPECT_EQ(idsOf(menu.items).back(), std::min(customs, 125));
        EXPECT_FALSE(menu.items.back().labelImage) << "icon 0: no picture";
        const auto& sub = menu.items.back().items;
        EXPECT_EQ(idsOf(sub), ids);
        EXPECT_TRUE(sub.empty() || sub.back().text == "Ping") << "the fixed items last";
        EXPECT_EQ(slots[126].program, "untouched");
    }
}

std::vector<HostMenuItem> templateItems(const char* drives)
{
    qb::CommandSlots slots;
    qb::CommandImages images{};
    qb::AppOptions options;
    options.rdpWidth = 1280;
    options.rdpHeight = 1024;
    std::vector<HostMenuItem> items;
    int next = 1;
    qb::AddTemplateItems(items, next, "%HOST%", drives, options, slots, images);
    for (const auto& item : items) {
        // The slot and image table must agree with the item.
        EXPECT_EQ(slots[item.id].params, item.params);
        EXPECT_EQ(images[item.id], item.image);
    }
    return items;
}

// Shares split at commas without trimming; empty pieces count except the last.
TEST(TemplateItems, CommandsConfirmationsImagesAndShares)
{
    using Item = std::tuple<std::string, std::string, std::string, bool, int32_t, bool>;
    const std::vector<Item> expected = {
        {"RDP", "mstsc", "/v:%HOST% /w:1280 /h:1024", false, 17, false},
        {"", R"(\\%HOST%\)", "", false, 72, false},
        {" E$", R"(\\%HOST%\ E$)", "", false, 72, false},
        {"Manage", "compmgmt.msc", "/computer:%HOST%", false, 7, false},
        {"Reboot", "shutdown.exe", R"(/r /f /m \\%HOST%)", true, 70, false},
        {"Shutdown", "shutdown.exe", R"(/s /f /m \\%HOST%)", true, 71, false},
        {"Ping", "ping.exe", "-t %HOST%", false, 24, false},
    };
    std::vector<Item> items;
    for (const auto& i : templateItems(", E$,"))
        items.emplace_back(i.text, i.program, i.params, i.confirm, i.image, i.bold);
    EXPECT_EQ(items, expected);
    EXPECT_EQ(templateItems("").size(), 5u);
}

}  // namespace
