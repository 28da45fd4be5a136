#include "catalogue/CatalogueMerge.h"
#include "catalogue/HostRecords.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;

namespace {

std::unique_ptr<HostItem> hostWithEntries(int count)
{
    auto host = qbtest::host("Mail", "mail01", 7, 255);
    for (int i = 0; i < count; ++i) {
        host->entries.push_back(qbtest::entry(i % 2 ? Url : CustomCommand));
        host->entries.back()->name = "n" + std::to_string(i);
    }
    return host;
}

}  // namespace

TEST(Records, CopyHostReplacesEverythingIncludingTheColour)
{
    for (auto [sourceEntries, targetEntries] : {std::pair{0, 3}, std::pair{3, 0}, std::pair{2, 5}}) {
        SCOPED_TRACE(sourceEntries);
        auto source = hostWithEntries(sourceEntries);
        auto target = hostWithEntries(targetEntries);
        target->title = target->hostName = "other";
        target->icon = 1;
        target->colour = kNoColour;
        copyHost(*source, *target);
        ASSERT_TRUE(sameHost(*target, *source));
        for (size_t i = 0; i < target->entries.size(); ++i)
            EXPECT_NE(target->entries[i].get(), source->entries[i].get());
    }
    auto host = hostWithEntries(3);  // onto itself: the entries stay
    copyHost(*host, *host);
    EXPECT_TRUE(sameHost(*host, *hostWithEntries(3)));
}
