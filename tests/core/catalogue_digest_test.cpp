#include "catalogue/CatalogueDigest.h"

#include "catalogue/CatalogueFile.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qb;
using qbtest::entry;

// Texts are hashed with their lengths: moving a letter between two fields is a change. (Pieces hash as the whole:
// the session's reads in pieces of 7 against the base worked out field by field.)
TEST(CatalogueDigest, TextsAreHashedWithTheirLengths)
{
    EXPECT_NE(hostDigest(*qbtest::host("ab", "c", 0, -1)), hostDigest(*qbtest::host("a", "bc", 0, -1)));
}

// The base after a save is worked out from memory, not read back: it must be what reading the written file gives,
// for values the line holds as they are and for those it does not.
TEST(CatalogueDigest, BaseAsWrittenIsWhatTheFileReadsBackAs)
{
    const std::function<void(HostItem&)> cases[] = {
        [](HostItem& h) { h.entries.push_back(entry(CustomCommand, "Console", "cmd.exe", "/k ping", 5, true, true)); },
        [](HostItem& h) { h.title = "a<b"; },
        [](HostItem& h) { h.entries.push_back(entry(CustomCommand, "dir", "cmd", "/c dir > x", 5, true, true)); },
        [](HostItem& h) { h.entries.push_back(entry(CustomCommand, "-", "cmd")); },
        // Texts of a former kind are not written.
        [](HostItem& h) {
            CommandEntry separator = entry(Url, "http://x", "X", "", 9, true);
            separator.kind = Separator;
            h.entries.push_back(separator);
        },
        // A line break makes lines of another host and of options, in a host's field or an entry's.
        [](HostItem& h) { h.title = "a\r\n<ITEM>b\n<X>5<Y>6<BROWSER>b<RDPX>0<RPDY>0<END>"; },
        [](HostItem& h) { h.entries.push_back(entry(CustomCommand, "dir", "cmd", "/c\n<ITEM>x<HOST>y", 5)); },
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        HostCatalogue hosts;
        hosts.push_back(qbtest::mailHost());
        hosts.push_back(qbtest::host("Web", "web01", 4, 255));
        cases[i](*hosts.back());
        AppOptions options;
        options.rdpWidth = 0;
        HostCatalogue read;
        AppOptions readOptions;
        NoCatalogueWindow nowhere;
        parseCatalogue(formatCatalogue(hosts, options, 10, -20), read, readOptions, nowhere);
        const CatalogueBase expected = baseOf(read, readOptions);
        const CatalogueBase base = baseAsWritten(hosts, options, 10, -20);
        EXPECT_EQ(base.hosts, expected.hosts) << i;
        EXPECT_TRUE(sameFields(base.options, expected.options)) << i;
    }
}
