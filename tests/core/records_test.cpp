#include "catalogue/HostRecords.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(Records, NewHostHasDefaults)
{
    auto host = newHost();
    EXPECT_EQ(host->title, "");
    EXPECT_EQ(host->hostName, "");
    EXPECT_EQ(host->icon, 0);
    EXPECT_EQ(host->colour, -1);
    EXPECT_TRUE(host->entries.empty());
}

namespace {

std::unique_ptr<HostItem> hostWithEntries(int count)
{
    auto host = newHost();
    host->title = "Mail";
    host->hostName = "mail01";
    host->icon = 7;
    host->colour = 255;
    for (int i = 0; i < count; ++i) {
        auto entry = newEntry();
        entry->kind = i % 2 ? Url : CustomCommand;
        entry->name = "n" + std::to_string(i);
        entry->url = "u" + std::to_string(i);
        entry->templateHost = "t";
        entry->confirm = true;
        entry->alternateBrowser = true;
        entry->icon = i;
        host->entries.push_back(std::move(entry));
    }
    return host;
}

}  // namespace

TEST(Records, CopyHostReplacesEverythingIncludingTheColour)
{
    struct Case {
        int sourceEntries;
        int targetEntries;
    };
    for (Case c : {Case{0, 3}, Case{3, 0}, Case{2, 5}}) {
        SCOPED_TRACE(c.sourceEntries);
        auto source = hostWithEntries(c.sourceEntries);
        auto target = hostWithEntries(c.targetEntries);
        target->title = "other";
        target->colour = kNoColour;
        copyHost(*source, *target);
        EXPECT_EQ(target->title, "Mail");
        EXPECT_EQ(target->hostName, "mail01");
        EXPECT_EQ(target->icon, 7);
        EXPECT_EQ(target->colour, 255);
        ASSERT_EQ(target->entries.size(), static_cast<size_t>(c.sourceEntries));
        for (size_t i = 0; i < target->entries.size(); ++i) {
            EXPECT_NE(target->entries[i].get(), source->entries[i].get());
            EXPECT_EQ(target->entries[i]->name, source->entries[i]->name);
            EXPECT_EQ(target->entries[i]->url, source->entries[i]->url);
            EXPECT_EQ(target->entries[i]->kind, source->entries[i]->kind);
        }
    }
}

TEST(Records, CopyHostOntoItselfKeepsItsEntries)
{
    auto host = hostWithEntries(3);
    copyHost(*host, *host);
    ASSERT_EQ(host->entries.size(), 3u);
    EXPECT_EQ(host->entries[2]->name, "n2");
}

TEST(Records, DuplicateIsDeepAndUncoloured)
{
    auto source = hostWithEntries(2);
    auto copy = duplicateHost(*source);
    EXPECT_EQ(copy->colour, kNoColour);
    EXPECT_EQ(copy->title, "Mail");
    EXPECT_EQ(copy->icon, 7);
    ASSERT_EQ(copy->entries.size(), 2u);
    copy->entries[0]->name = "changed";
    copy->entries.pop_back();
    EXPECT_EQ(source->entries[0]->name, "n0");
    EXPECT_EQ(source->entries.size(), 2u);
    // Fields of other kinds travel with the entry in memory.
    EXPECT_EQ(copy->entries[0]->templateHost, "t");
}
