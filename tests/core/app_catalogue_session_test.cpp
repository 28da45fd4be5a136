#include "app/CatalogueSession.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;
using namespace qbtest;

namespace {

const std::string kWhole = "<X>5<Y>6<BROWSER>b<RDPX>1<RPDY>2<HIDE><END>\r\n"
                           "<ITEM>kept<HOST>k<ICON>1<COL>-1\r\n";

}  // namespace

// Only a missing or wholly read file may be written; a locked file or one
// whose read failed part way is reported once at load and on every save.
TEST(CatalogueSession, AFileThatCouldNotBeReadWholeIsNeverWritten)
{
    const std::string refusal = "Unable to read quillbank.ini: Sharing violation.\n"
                                "Changes made now will not be saved. Start Quillbank again when the file can be read.";
    struct Case {
        const char* name;
        bool opened, missing, readError;
        size_t hostsShown;
        bool refused;
    };
    const Case cases[] = {
        {"missing", false, true, false, 0, false},
        {"read whole", true, false, false, 1, false},
        {"locked", false, false, false, 0, true},
        {"read failed part way", true, false, true, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStore store;
        store.status.opened = c.opened;
        store.status.missing = c.missing;
        store.status.readError = c.readError;
        store.status.error = "Sharing violation.";
        // Part way: the host being read when it failed is dropped.
        store.bytes = c.readError ? kWhole + "<ITEM>dropped<HOST>d\r\n  <NAME>cu" : kWhole;
        CatalogueSession session(store, "C:\\work\\quillbank.ini");
        HostCatalogue hosts;
        AppOptions options;
        RecordingWindow window;
        std::vector<std::string> messages;
        const SaveReport report = [&](const std::string& m) { messages.push_back(m); };

        session.load(hosts, options, window, report);
        EXPECT_EQ(hosts.size(), c.hostsShown) << "what could be read is shown";
        EXPECT_EQ(messages.size(), c.refused ? 1u : 0u);
        for (int save = 0; save < 2; ++save)
            EXPECT_EQ(session.save(hosts, options, window, report), !c.refused);
        EXPECT_EQ(store.writes, c.refused ? 0 : 2);
        EXPECT_EQ(session.savesRefused(), c.refused);
        if (c.refused) {
            EXPECT_EQ(messages, std::vector<std::string>(3, refusal)) << "once at load, then at each save";
        }
    }
}
