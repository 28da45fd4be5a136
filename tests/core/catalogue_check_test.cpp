#include "catalogue/CatalogueCheck.h"
#include "catalogue/CatalogueFile.h"

#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;

namespace {

const char* const kOptions = "<X>10<Y>20<BROWSER>c:\\b.exe<RDPX>1024<RPDY>768<END>\r\n";
const char* const kHost = "<ITEM>Mail<HOST>mail01<ICON>3<COL>-1\r\n";

std::string describe(const std::vector<CheckFinding>& findings)
{
    std::string out;
    for (const auto& finding : findings)
        out += std::to_string(finding.line) + ": " + finding.message + "\n";
    return out;
}

}  // namespace

// What the program writes or ships, or only normalises, is not reported: a noisy check gets ignored.
TEST(CatalogueCheck, QuietOnFilesThatReadBackAsWritten)
{
    HostCatalogue hosts;
    hosts.push_back(qbtest::mailHost());
    hosts[0]->title = "Mail > web";
    hosts[0]->entries.update(3, [](CommandEntry& e) { e.alternateBrowser = true; });
    hosts.push_back(qbtest::host("", "", 0, -1));
    AppOptions options;
    options.hideTaskbarButton = true;

    const std::string normalised[] = {
        formatCatalogue(hosts, options, -1920, 0),
        // LF alone, and a last line without terminator
        "<ITEM>A<HOST>a<ICON>1<COL>-1\n  <SEP>",
        // numbers and flags spelt differently, same values
        std::string(kHost) + "  <NAME>n<RUN>p<PARAMS>q<IICON> 5<CONFIRM>01<BOLD>+1\r\n",
    };
    for (const std::string& file : normalised)
        EXPECT_EQ(describe(checkCatalogue(file)), "") << file;
}

// Each kind of finding, with its exact text.
TEST(CatalogueCheck, ReportsWhatDoesNotReadBack)
{
    const std::string h = kHost;  // line 1
    const std::pair<std::string, std::string> cases[] = {
        {"<X>1<Y>2<BROWSER>a>b<RDPX>800<RPDY>600<END>\r\n",
         "1: the value after <BROWSER> contains \">\", which shifts the values after it: reads back with "
         "rdpWidth 1024 instead of 800, rdpHeight 800 instead of 600\n"},
        {"<ITEM>a<b<HOST>h<ICON>1<COL>2\r\n",
         "1: the value after <ITEM> contains \"<\": reads back with title \"a\" instead of \"a<b\", "
         "hostName \"\" instead of \"h\", icon 0 instead of 1, colour -1 instead of 2\n"},
        {"<ITEM>Web<ICON>4<COL>255\r\n", "1: host line reads back as \"<ITEM>Web<HOST><ICON>0<COL>255\"\n"},
        {h + "  <NAME>n<RUN>p<PARAMS><IICON>-1<CONFIRM>0<BOLD>0\r\n  <URL>u<NAME>n<ALT>0<IICON>119\r\n",
         "2: icon -1 is outside 0 to 119\n"},
        {h + "  <URL>u<NAME>n<ALT>01<IICON>1\r\n",
         "2: the value after <ALT> is \"01\", which reads as not set: only \"1\" sets it\n"},
        {"<X>1<Y>2<BROWSER>b<RDPX>1<RPDY>2<HIDE><END>\r\n" + h + kOptions,
         "1: options line 3 replaces this one: it is dropped at the next save, but its <HIDE> stays in effect\n"},
        // Lines end at LF, CR or CR LF; the last needs no end.
        {h + "\n\r\r\n<ITEM>A<HOST>a<ICON>500<COL>-1",
         "2: blank line: dropped at the next save\n3: blank line: dropped at the next save\n"
         "4: blank line: dropped at the next save\n5: icon 500 is outside 0 to 119\n"},
        {"<ITEM>a<HOST>h<ICON>1<COL>255<X>y\r\n",
         "1: the text after the value of <COL>, \"<X>y\", is dropped at the next save\n"},
    };
    for (const auto& [file, expected] : cases)
        EXPECT_EQ(describe(checkCatalogue(file)), expected) << file;
}
