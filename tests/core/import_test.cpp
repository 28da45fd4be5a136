#include "catalogue/CatalogueMerge.h"
#include "catalogue_test_support.h"
#include "import/DirectorySource.h"
#include "import/ImportFiles.h"
#include "import/ImportRules.h"
#include "import/XmlTree.h"

#include <gtest/gtest.h>

using namespace qb;

namespace {

// "title|host|icon|colour" per host: a whole read compared at once.
std::vector<std::string> summary(const ImportRead& read)
{
    std::vector<std::string> out;
    for (const ImportCandidate& host : read.hosts)
        out.push_back(host.title + "|" + host.hostName + "|" + std::to_string(host.icon) + "|" +
                      std::to_string(host.colour));
    return out;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(ImportRules, NamesThatMayReachACommandLine)
{
    const std::string label(63, 'a');
    const std::string longest = label + "." + label + "." + label + "." + std::string(61, 'b');  // 253
    const std::pair<std::string, bool> names[] = {
        {"PC-01.corp_x.example", true},
        {"10.0.0.7:65535", true},
        {"a:99999", false},
        {"x\" & calc.exe & \"y", false},
        {"-t", false},  // an option of the command it goes into
        {"..", false},
        {"pc01.corp.example.", true},
        {label + "a.example", false},
        {longest, true},
        {longest + ".", true},
        {longest + "b", false},
    };
    for (const auto& [name, valid] : names)
        EXPECT_EQ(isValidHostName(name), valid) << name.substr(0, 80);
}

TEST(ImportRules, PlanSkipsInOrderOfReason)
{
    qbtest::Loaded catalogue;
    catalogue.hosts.push_back(qbtest::host("Old", "PC01", 0, -1));
    // Every catalogue name counts, also one that is the same host as another.
    for (const char* name : {"pc05.a.example", "pc07.a.example", "PC07"})
        catalogue.hosts.push_back(qbtest::host("Other", name, 0, -1));
    const std::pair<const char*, const char*> offered[] = {
        {"A", "pc01.corp.example"},
        {"B", "x\" & calc.exe & \"y"},
        {"C", ""},
        {"D", "pc02"},
        {"E", "PC02.corp.example"},
        {"F", "pc02:3390"},
        {"H", "pc05.b.example"},
        {"I", "pc05"},
        {"J", "pc07.b.example"},
        {"K", "pc02.corp.example:3390"},
        {"G", "pc03"},
    };
    std::vector<ImportCandidate> hosts;
    for (auto [title, name] : offered)
        hosts.push_back({title, name, -1, -1, {}, {}});
    hosts.back().skipReason = kSkipDisabled;
    std::vector<ImportItem> plan = planImport(catalogue.hosts, hosts);
    EXPECT_EQ(importResultJson(plan).dump(),
              R"({"added":["D","F","H"],"skipped":[{"title":"A","reason":"duplicate"},{"title":"B","reason":"invalid )"
              R"(name"},{"title":"C","reason":"no name"},{"title":"E","reason":"duplicate"},)"
              R"({"title":"I","reason":"duplicate"},{"title":"J","reason":"duplicate"},)"
              R"({"title":"K","reason":"duplicate"},{"title":"G","reason":"disabled"}]})");

    // The dialog lets a duplicate or a disabled account be chosen, never a bad name.
    std::vector<bool> chosen(plan.size(), true);
    EXPECT_EQ(appendImported(catalogue.hosts, plan, chosen, {}), 9u);
    EXPECT_EQ(qbtest::titlesOf(catalogue.hosts),
              (Lines{"Old", "Other", "Other", "Other", "A", "D", "E", "F", "H", "I", "J", "K", "G"}));
}

TEST(ImportRules, ImportedHostDefaultsAndTemplate)
{
    // The source's icon and colour are out of range; the template's host has no port.
    auto expected = qbtest::host("pc01.corp.example:3390", "pc01.corp.example:3390", 5, -1);
    expected->entries.push_back(qbtest::entry(WindowsTemplate, "pc01.corp.example", "C$", "", 17));
    EXPECT_TRUE(sameHost(*importedHost({"", "pc01.corp.example:3390", 130, 0x1000000, {}, {}}, {5, true}), *expected));
    // "<" and line ends would end the title or the line in the file; no control character stays.
    const ImportCandidate odd{std::string("a<b\r\nc\0d\te\x7F", 11), "pc02", 7, 255, {}, {}};
    EXPECT_TRUE(sameHost(*importedHost(odd, {}), *qbtest::host("a(b  c d e ", "pc02", 7, 255)));
    // The preview shows the title that will be added.
    EXPECT_EQ(planImport({}, {odd})[0].candidate.title, "a(b  c d e ");
}

TEST(ImportFiles, Csv)
{
    const std::tuple<const char*, Lines, size_t> cases[] = {
        {"title,host\r\nMail,mail01\r\n\r\nWeb,web01", {"Mail|mail01|-1|-1", "Web|web01|-1|-1"}, 0},
        // BOM, columns in any order and case, others ignored, quoted separators and line breaks
        {"\xEF\xBB\xBFNotes,HOST,Title,Icon,Colour\n\"a,b\",pc01,\"x \"\"y\"\"\",5,255\n\"1\n2\",pc02,Z,,#FF8000\n",
         {"x \"y\"|pc01|5|255", "Z|pc02|-1|33023"},
         0},
        // semicolons in a first row without commas; "color"; one column standing for both
        {"host;color\npc01;#0000ff\n", {"pc01|pc01|-1|16711680"}, 0},
        // UTF-8 to the ANSI page, what it lacks becomes '?' (no best fit: a full-width '"' stays out of names)
        {"title,host\nCaf\xC3\xA9 \xE2\x82\xAC,pc01\n\xE4\xB8\xAD,pc02\nx\xEF\xBC\x82,pc03\n",
         {"Caf\xE9 \x80|pc01|-1|-1", "?|pc02|-1|-1", "x?|pc03|-1|-1"},
         1},
        {"title,host,icon,colour\nA,pc01,x,#12345\n", {"A|pc01|-1|-1"}, 2},
    };
    for (const auto& [bytes, hosts, warnings] : cases) {
        SCOPED_TRACE(bytes);
        ImportRead read = readCsv(bytes, "t.csv");
        EXPECT_EQ(summary(read), hosts);
        EXPECT_EQ(read.warnings.size(), warnings);
    }
    EXPECT_EQ(readCsv("title,host\nA,a\n", "t.csv").hosts[0].origin, "t.csv:2");
    EXPECT_THROW(readCsv("name,address\nA,a\n", "t.csv"), ImportError);
}

TEST(ImportFiles, XmlSources)
{
    const char* rdg = R"(<?xml version="1.0" encoding="utf-8"?>
<RDCMan><file><properties><name>All</name></properties>
  <group><properties><name>Lab</name></properties>
    <server><properties><name>pc01</name><displayName>First &amp; best</displayName></properties></server>
    <group><properties><name>Inner</name></properties><server><properties><name>pc02</name></properties></server></group>
  </group>
  <server><name>pc03</name><displayName>Old form</displayName></server>
</file></RDCMan>)";
    EXPECT_EQ(summary(readRdg(rdg, "a.rdg")),
              (Lines{"First & best|pc01|-1|-1", "pc02|pc02|-1|-1", "Old form|pc03|-1|-1"}));

    const char* connections = R"(<?xml version="1.0" encoding="utf-8"?>
<Connections Name="Connections" FullFileEncryption="false">
  <Node Name="Lab" Type="Container" Hostname="">
    <Node Name="Caf&#xE9;" Type="Connection" Hostname="pc01" />
    <Node Name="Deep" Type="Container"><Node Name="Two" Type="Connection" Hostname=" pc02 " /></Node>
  </Node>
  <Node Name="Three" Type="Connection" Hostname="pc03" />
</Connections>)";
    EXPECT_EQ(summary(readConnectionsXml(connections, "c.xml")),
              (Lines{"Caf\xE9|pc01|-1|-1", "Two|pc02|-1|-1", "Three|pc03|-1|-1"}));
    EXPECT_THROW(readConnectionsXml(R"(<Connections FullFileEncryption="true">bm90IGhvc3Rz</Connections>)", "c.xml"),
                 ImportError);
    EXPECT_THROW(readRdg("<RDCMan><file>", "a.rdg"), ImportError);
}

TEST(ImportFiles, DeepNestingIsRefusedNotRecursedInto)
{
    auto nested = [](const char* open, const char* close, size_t depth, const std::string& inside) {
        std::string out;
        for (size_t i = 0; i < depth; ++i)
            out += open;
        out += inside;
        for (size_t i = 0; i < depth; ++i)
            out += close;
        return out;
    };
    const std::string server = "<server><name>pc01</name></server>";
    const std::tuple<const char*, std::string, bool> cases[] = {
        // The root and its server's two levels leave 253 groups within the limit.
        {"a.rdg", "<RDCMan>" + nested("<group>", "</group>", kMaxXmlDepth - 3, server) + "</RDCMan>", true},
        {"b.rdg", "<RDCMan>" + nested("<group>", "</group>", 20000, server) + "</RDCMan>", false},
        {"d.xml", nested("<x>", "</x>", 400000, ""), false},
    };
    for (const auto& [name, bytes, read] : cases) {
        SCOPED_TRACE(std::string(name) + " of " + std::to_string(bytes.size()) + " bytes");
        try {
            const ImportRead hosts =
                std::string_view(name).back() == 'g' ? readRdg(bytes, name) : readConnectionsXml(bytes, name);
            EXPECT_TRUE(read && summary(hosts) == Lines{"pc01|pc01|-1|-1"});
        } catch (const ImportError& error) {
            EXPECT_EQ(error.what(), std::string(read ? "" : name) + ": elements nested more than 256 deep at line 1");
        }
    }
}

// Refused before the platform is asked, cancelled before it is, or failed there: no hosts either way. (Binds that
// seal or encrypt the password: the companion's tests against a real server.)
TEST(DirectorySearch, RefusedCancelledOrFailedSearchesCarryNoHosts)
{
    // url, user, insecure allowed, cancelled at once, the server's error, reaches the server (binding in clear)
    const std::tuple<const char*, const char*, bool, bool, const char*, bool> cases[] = {
        {"ldap://dc1/DC=x", "admin", false, false, "", false},  // password in clear
        {"ldap://dc1/DC=x", "admin", true, false, "", true},
        {"ldap://dc1/DC=x", "", false, false, "", true},  // anonymous: no password
        {"ldap://dc1", "", true, false, "", false},
        {"ldaps://dc1/DC=x", "", false, true, "", false},
        {"ldaps://dc1/DC=x", "", false, false, "bind to dc1 failed: Invalid credentials", true},
    };
    for (const auto& [url, user, insecure, cancel, error, reachesServer] : cases) {
        SCOPED_TRACE(std::string(url) + " " + user + error);
        qbtest::FakeDirectory directory;
        directory.answer.entries = {{"CN=a", "a", "", ""}};
        directory.answer.error = error;
        DirectoryQuery query;
        query.url = url;
        query.user = user;
        query.insecure = insecure;
        DirectoryResult result = directory.search(query, [&](size_t) { return !cancel; });
        EXPECT_EQ(directory.searches, reachesServer ? 1 : 0);
        EXPECT_EQ(result.cancelled, cancel);
        EXPECT_EQ(result.ok(), reachesServer && !*error) << result.error;
        EXPECT_EQ(reachesServer ? result.error : "", error);
        EXPECT_EQ(result.read.hosts.size(), result.ok() ? 1u : 0u);
    }
}
