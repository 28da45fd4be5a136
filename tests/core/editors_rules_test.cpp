#include "editors/EntryListOps.h"
#include "editors/RefusedTexts.h"
#include "editors/TemplateEntries.h"

#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>

using namespace qb;

namespace {

std::vector<std::string> names(const EntryList& list)
{
    std::vector<std::string> out;
    for (EntryView e : list)
        out.push_back(std::string(e.name()));
    return out;
}

}  // namespace

TEST(EditorsTemplateEntries, ASeparatorAfterExistingEntriesAndAShareForEveryDriveCharacter)
{
    EntryList list = qbtest::namedEntries({"existing"});
    appendTemplateEntries(list, "srv1", "D,E", 1280, 1024);

    using Row = std::tuple<EntryKind, std::string, std::string, std::string, int, bool, bool>;
    const std::vector<Row> expected = {
        {CustomCommand, "existing", "", "", 0, false, false},
        {Separator, "", "", "", 0, false, false},
        {CustomCommand, "srv1", "mstsc", "/v:srv1 /w:1280 /h:1024", 17, false, true},
        {CustomCommand, "D:", "\\\\srv1\\D$", "", 72, false, false},
        {CustomCommand, ",:", "\\\\srv1\\,$", "", 72, false, false},
        {CustomCommand, "E:", "\\\\srv1\\E$", "", 72, false, false},
        {CustomCommand, "Manage", "compmgmt.msc", "/computer:srv1", 7, false, false},
        {CustomCommand, "Reboot", "shutdown.exe", "-r -m \\\\srv1", 70, true, false},
        {CustomCommand, "Shutdown", "shutdown.exe", "-s -m \\\\srv1", 71, true, false},
    };
    ASSERT_EQ(list.size(), expected.size());
    for (size_t i = 0; i < list.size(); ++i) {
        const CommandEntry e = list[i].toEntry();
        EXPECT_EQ(Row(e.kind, e.name, e.program, e.params, e.icon, e.confirm, e.bold), expected[i]) << i;
        EXPECT_EQ(e.templateHost + e.drives + e.url + e.urlName, "") << i;
    }

    list.clear();  // no entries yet: no separator first
    appendTemplateEntries(list, "h", "", -1, 600);
    EXPECT_EQ(names(list), (std::vector<std::string>{"h", "Manage", "Reboot", "Shutdown"}));
    EXPECT_EQ(list[0].params(), "/v:h") << "only the width means full screen";
    EXPECT_EQ(remoteDesktopParams("h", 800, -1), "/v:h /w:800 /h:-1");
}

// The selection follows the row; past either end, or with none selected, nothing changes.
TEST(EditorsEntryListOps, RowsAndSelectionAfterDeleteAndMoves)
{
    using Op = EntryListChange (*)(EntryList&, int);
    const std::vector<std::string> abc = {"a", "b", "c"};
    // operation, row, row selected after (kNoRow: nothing changed), rows left
    const std::tuple<Op, int, int, std::vector<std::string>> cases[] = {
        {deleteEntry, 1, 1, {"a", "c"}},        {deleteEntry, 2, 1, {"a", "b"}}, {deleteEntry, 3, kNoRow, abc},
        {moveEntryUp, 2, 1, {"a", "c", "b"}},   {moveEntryUp, 0, kNoRow, abc},   {moveEntryUp, kNoRow, kNoRow, abc},
        {moveEntryDown, 0, 1, {"b", "a", "c"}}, {moveEntryDown, 2, kNoRow, abc},
    };
    for (const auto& [op, row, select, left] : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << row << ", left " << left.size());
        EntryList list = qbtest::namedEntries({"a", "b", "c"});
        EntryListChange change = op(list, row);
        EXPECT_EQ(change.changed, left != abc);
        EXPECT_EQ(change.select, select);
        EXPECT_EQ(names(list), left);
    }
    EntryList one = qbtest::namedEntries({"a"});
    EXPECT_EQ(deleteEntry(one, 0).select, kNoRow) << "the only row: nothing left to select";
}

// The editors' refusal and the file agree: a text is refused exactly when a
// save and a load would not give back what was typed (or the fields after it).
TEST(EditorsRefusedTexts, RefusedExactlyWhenTheFileWouldNotGiveItBack)
{
    using Put = std::function<std::optional<std::string>(const std::string&, qbtest::Loaded&)>;
    const auto inHost = [](std::string HostItem::*field) {
        return Put([field](const std::string& text, qbtest::Loaded& file) {
            file.hosts.push_back(qbtest::host("t", "h", 42, 255));
            file.hosts[0].get()->*field = text;
            auto refused = refuseHostText(*file.hosts[0]);
            return refused ? std::optional(refused->message) : std::nullopt;
        });
    };
    const auto inEntry = [](EntryKind kind, std::string CommandEntry::*field) {
        return Put([kind, field](const std::string& text, qbtest::Loaded& file) {
            file.hosts.push_back(qbtest::host("t", "h", 1, -1));
            CommandEntry entry = qbtest::entry(kind, "a", "b", "c", 42, true, false);
            entry.*field = text;
            file.hosts[0]->entries.push_back(entry);
            auto refused = refuseEntryText(entry);
            return refused ? std::optional(refused->message) : std::nullopt;
        });
    };
    const std::pair<const char*, Put> fields[] = {
        {"title", inHost(&HostItem::title)},
        {"host name", inHost(&HostItem::hostName)},
        {"name", inEntry(CustomCommand, &CommandEntry::name)},
        {"program", inEntry(CustomCommand, &CommandEntry::program)},
        {"params", inEntry(CustomCommand, &CommandEntry::params)},
        {"template host", inEntry(WindowsTemplate, &CommandEntry::templateHost)},
        {"drives", inEntry(WindowsTemplate, &CommandEntry::drives)},
        {"url", inEntry(Url, &CommandEntry::url)},
        {"url name", inEntry(Url, &CommandEntry::urlName)},
        {"alternate browser",
         [](const std::string& text, qbtest::Loaded& file) {
             OptionsForm form = optionsToForm(file.options);
             form.alternateBrowserText = text;
             applyOptionsForm(form, file.options);
             return refuseOptionsText(form);
         }},
    };
    for (const auto& [field, put] : fields) {
        for (const char* text : {"plain", "a<b", "a>b", "x>", "a\rb", "\nb", "-", "%HOST% /k"}) {
            qbtest::Loaded original;
            const std::optional<std::string> refused = put(text, original);
            const std::string bytes = original.written();
            EXPECT_EQ(refused.has_value(), qbtest::Loaded(bytes).written() != bytes)
                << field << " \"" << text << "\": " << refused.value_or("accepted");
        }
    }
}

TEST(EditorsRefusedTexts, MessagesNameTheFieldByItsLabel)
{
    HostItem host;  // (a title's "<": the editors' test under Wine)
    host.hostName = "srv1\r\n";
    EXPECT_EQ(refuseHostText(host)->field, &HostItem::hostName);
    EXPECT_EQ(refuseHostText(host)->message, "The Host field cannot hold a line break.");

    // Only the texts of the entry's kind are written; the others may hold anything.
    auto url = qbtest::entry(Url, "http://x/?a>b", "Status");
    url.params = "<<>>";
    EXPECT_EQ(refuseEntryText(url)->message, "The Address field cannot hold the character \">\".");
    url.kind = Separator;
    EXPECT_FALSE(refuseEntryText(url));
    EXPECT_EQ(refuseEntryText(qbtest::entry(CustomCommand, "-", "cmd.exe"))->message,
              "The Name field cannot be \"-\" alone: it would come back as a menu separator.");
    EXPECT_EQ(refuseOptionsText({false, "c:\\a>b.exe", "1024", "768"}),
              "The Alternate Browser field cannot hold the character \">\".");

    // The template's texts are judged by the entries they make.
    EXPECT_FALSE(refuseTemplateTexts("srv1", "CD"));
    const auto badHost = refuseTemplateTexts("srv>1", "CD");
    EXPECT_TRUE(badHost && badHost->hostField);
    const auto badDrives = refuseTemplateTexts("srv1", "C<");
    EXPECT_EQ(badDrives ? badDrives->message : "", "The Drives field cannot hold the character \"<\".");
}
