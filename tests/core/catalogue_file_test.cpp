#include "catalogue/CatalogueFile.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qb;
using namespace qbtest;

namespace {

const char kExample[] =
    "<X>1180<Y>240<BROWSER>c:\\Program Files\\Internet Explorer\\iexplore.exe<RDPX>1024<RPDY>768<HIDE><END>\r\n"
    "<ITEM>Mail server<HOST>mail01<ICON>3<COL>-1\r\n"
    "  <NAME>Console<RUN>cmd.exe<PARAMS>/k ping %HOST%<IICON>5<CONFIRM>0<BOLD>1\r\n"
    "  <WINDOWS>1<P1>mail01<P2>c,d<IICON>17\r\n"
    "  <SEP>\r\n"
    "  <URL>%HOST%/status<NAME>Status page<ALT>0<IICON>12\r\n";
const std::string kDefaultOptions =
    "<X>0<Y>0<BROWSER>c:\\Program Files\\Internet Explorer\\iexplore.exe<RDPX>1024<RPDY>768<END>\r\n";
const std::string kHostLine = "<ITEM>h<HOST>n<ICON>0<COL>-1\r\n";

}  // namespace

TEST(CatalogueFile, ExampleWrittenByteForByteAndReadBack)
{
    HostCatalogue hosts;
    hosts.push_back(mailHost());
    AppOptions options;
    options.hideTaskbarButton = true;
    EXPECT_EQ(formatCatalogue(hosts, options, 1180, 240), kExample);

    Loaded loaded(kExample);
    EXPECT_EQ(formatCatalogue(loaded.hosts, loaded.options, 1180, 240), kExample);
    EXPECT_EQ(loaded.window.moves, (std::vector<std::pair<int32_t, int32_t>>{{1180, 240}}));
    EXPECT_EQ(loaded.window.taskbarDrops, 1);
}

// Each line read and written back: what the reader makes of lines the writer would not write.
TEST(CatalogueReader, LinesReadBackAsWritten)
{
    const std::pair<std::string, std::string> cases[] = {
        {"<X>5<Y>6<BROWSER>b.exe<RDPX>0<RPDY>0<END>", "<X>5<Y>6<BROWSER>b.exe<RDPX>1024<RPDY>768<END>"},
        {"<X>-1200<Y>100<BROWSER><RDPX>-1<RPDY>-1<END>",
         "<X>-1200<Y>100<BROWSER>c:\\Program Files\\Internet Explorer\\iexplore.exe<RDPX>-1<RPDY>-1<END>"},
        // Numbers saturate.
        {"<X>99999999999<Y>-99999999999<BROWSER>b<RDPX>4294967296<RPDY>1<A><HIDE>",
         "<X>2147483647<Y>-2147483648<BROWSER>b<RDPX>2147483647<RPDY>1<HIDE><END>"},
        // No tag after the title: the title has no end.
        {"<ITEM>Web", "<ITEM><HOST><ICON>0<COL>-1"},
        {"<ITEM>Web<ICON>4<COL>255", "<ITEM>Web<HOST><ICON>0<COL>255"},
        {"<ITEM>a>b<HOST>c>d<ICON>  +12x<COL>-2147483649", "<ITEM>a>b<HOST>c>d<ICON>12<COL>-2147483648"},
        {"  <NAME>n<RUN>p<PARAMS>q<IICON>3<CONFIRM>01<BOLD> 1", "  <NAME>n<RUN>p<PARAMS>q<IICON>3<CONFIRM>1<BOLD>1"},
        // A ">" in a value shifts every later field by one.
        {"  <NAME>n<RUN>cmd<PARAMS>/c dir > out.txt<IICON>1<CONFIRM>0<BOLD>1",
         "  <NAME>n<RUN>cmd<PARAMS>/c dir > out.txt<IICON>0<CONFIRM>1<BOLD>0"},
        {"  <NAME>n<A>p<B>q<C>4<D>1<E>0", "  <NAME>n<RUN>p<PARAMS>q<IICON>4<CONFIRM>1<BOLD>0"},
        {"  <WINDOWS>7<P1>pc<P2><IICON>9", "  <WINDOWS>1<P1>pc<P2><IICON>9"},
    };
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line);
        bool options = line.rfind("<X>", 0) == 0;
        bool hostLine = line.rfind("<ITEM>", 0) == 0;
        Loaded loaded(options || hostLine ? line : kHostLine + line);
        std::string written = formatCatalogue(loaded.hosts, loaded.options, loaded.window.left, loaded.window.top);
        std::string want =
            options ? expected + "\r\n" : kDefaultOptions + (hostLine ? "" : kHostLine) + expected + "\r\n";
        EXPECT_EQ(written, want);
    }
}

// Whole files: lines of no type and entries before any host are dropped, every options line is applied and the
// last wins, and a carriage return alone ends a line (some editors write those); the writer writes CR LF.
TEST(CatalogueReader, WholeFilesReadAndWriteBack)
{
    using Moves = std::vector<std::pair<int32_t, int32_t>>;
    std::string ignored = "  <URL>u<NAME>n<ALT>0<IICON>1\r\n  <SEP>\r\n", dropped = kDefaultOptions;
    for (const char* line : {" <SEP>", "   <SEP>", "  <sep>", "<item>x", "<x>1<Y>2", ""}) {
        ignored += std::string(line) + "\r\n" + kHostLine + line + "\n";
        dropped += kHostLine;
    }
    const std::string crLf = "<X>0<Y>0<BROWSER>b<RDPX>3<RPDY>4<HIDE><END>\r\n<ITEM>a<HOST>h<ICON>1<COL>2\r\n  <SEP>\r\n"
                             "<ITEM>b<HOST>i<ICON>3<COL>4\r\n  <URL>u<NAME>n<ALT>1<IICON>5\r\n";
    std::string crOnly;
    std::remove_copy(crLf.begin(), crLf.end(), std::back_inserter(crOnly), '\n');
    const std::tuple<std::string, std::string, Moves> cases[] = {
        {ignored, dropped, {}},
        {"<X>1<Y>2<BROWSER>a<RDPX>10<RPDY>20<HIDE><END>\n" + kHostLine + "<X>3<Y>4<BROWSER>b<RDPX>30<RPDY>40<END>\n",
         "<X>0<Y>0<BROWSER>b<RDPX>30<RPDY>40<HIDE><END>\r\n" + kHostLine,
         {{1, 2}, {3, 4}}},
        {crOnly, crLf, {{0, 0}}},
    };
    for (const auto& [bytes, written, moves] : cases) {
        Loaded loaded(bytes);
        EXPECT_EQ(loaded.written(), written);
        EXPECT_EQ(loaded.window.moves, moves);
    }
}

// Lines cut anywhere by the reads, CR LF between two, a CR alone, the last line without an end, a read failing.
TEST(CatalogueReader, LinesSplitAcrossReadsReadAsWhole)
{
    const std::string bytes = std::string(kExample) +
                              "<ITEM>a<HOST>b<ICON>1<COL>2\r  <SEP>\r\r<ITEM>c<HOST>d<ICON>1<COL>2" +
                              "\r\n\r  <URL>u<NAME>n<ALT>1<IICON>3";
    for (bool failAtEnd : {false, true}) {
        Loaded whole(bytes, failAtEnd);
        for (size_t piece : {size_t{1}, size_t{7}}) {
            SCOPED_TRACE(testing::Message() << "piece " << piece << " failAtEnd " << failAtEnd);
            FakeStore store;
            store.status = {true, false, failAtEnd, ""};
            store.bytes = bytes;
            store.piece = piece;
            Loaded loaded;
            loadCatalogue(loaded.hosts, loaded.options, loaded.window, store, "x");
            EXPECT_EQ(loaded.written(), whole.written());
            EXPECT_EQ(loaded.window.moves, whole.window.moves);
        }
    }
}
