#include "catalogue/CatalogueMerge.h"
#include "catalogue/HostRecords.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(Records, CopyHostReplacesEverythingIncludingTheColour)
{
    auto source = qbtest::mailHost();
    auto target = qbtest::host("other", "other", 1, kNoColour);
    for (int i = 0; i < 6; ++i)
        target->entries.push_back(qbtest::entry(Url, "u" + std::to_string(i)));
    copyHost(*source, *target);
    ASSERT_TRUE(sameHost(*target, *source));
    EXPECT_NE(target->entries[0].get(), source->entries[0].get());

    copyHost(*source, *source);  // onto itself: the entries stay
    EXPECT_TRUE(sameHost(*source, *qbtest::mailHost()));
}
