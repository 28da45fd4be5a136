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
