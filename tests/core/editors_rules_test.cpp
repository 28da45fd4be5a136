#include "editors/EntryKindFields.h"
#include "editors/EntryListOps.h"
#include "editors/EntryRows.h"
#include "editors/TemplateEntries.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace qb;

namespace {

EntryList namedEntries(std::initializer_list<const char*> names)
{
    EntryList list;
    for (const char* n : names) {
        CommandEntry entry;
        entry.name = n;
        list.push_back(entry);
    }
    return list;
}

std::vector<std::string> names(const EntryList& list)
{
    std::vector<std::string> out;
    for (EntryView e : list)
        out.push_back(std::string(e.name()));
    return out;
}

}  // namespace

TEST(EditorsEntryRows, EachKindShowsOnlyItsOwnFields)
{
    const std::pair<EntryKind, std::array<std::string, 5>> cases[] = {
        {CustomCommand, {"name", "prog", "-p", "Yes", "No"}},
        {WindowsTemplate, {"* Windows *", "th", "CD", "", ""}},
        {Separator, {std::string(23, '-'), std::string(47, '-'), std::string(57, '-'), "--------", "--------"}},
        {Url, {"web", "http://x/", "Alternate Browser", "", ""}},
    };
    for (const auto& [kind, cells] : cases) {
        SCOPED_TRACE(kind);
        EntryRow row =
            entryRow(CommandEntry{kind, "name", "prog", "-p", 42, true, false, "th", "CD", "http://x/", true, "web"});
        EXPECT_EQ(row.cells, cells);
        EXPECT_EQ(row.hasImage, kind != Separator);
        if (row.hasImage) {
            EXPECT_EQ(row.image, 42);
        }
    }
}

TEST(EditorsTemplateEntries, ASeparatorAfterExistingEntriesAndAShareForEveryDriveCharacter)
{
    EntryList list = namedEntries({"existing"});
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
        {CustomCommand, "Shutdown", "shutdown.exe", "-m \\\\srv1", 71, true, false},
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
        EntryList list = namedEntries({"a", "b", "c"});
        EntryListChange change = op(list, row);
        EXPECT_EQ(change.changed, left != abc);
        EXPECT_EQ(change.select, select);
        EXPECT_EQ(names(list), left);
    }
    EntryList one = namedEntries({"a"});
    EXPECT_EQ(deleteEntry(one, 0).select, kNoRow) << "the only row: nothing left to select";
}

TEST(EditorsEntryKindFields, EnabledControlsPerKindAndRadioRules)
{
    using F = EntryField;
    const std::pair<EntryKind, std::vector<F>> cases[] = {
        {CustomCommand, {F::Name, F::Command, F::Params, F::Bold, F::Confirm, F::Icon}},
        {WindowsTemplate, {F::Icon, F::TemplateHost, F::Drives}},
        {Separator, {}},
        {Url, {F::Icon, F::Url, F::UrlName, F::AlternateBrowser}},
        {static_cast<EntryKind>(7), {}},
    };
    for (const auto& [kind, expected] : cases) {
        std::vector<F> enabled;
        for (const KindField& row : kKindFields) {
            if (fieldEnabled(row.field, kind))
                enabled.push_back(row.field);
        }
        EXPECT_EQ(enabled, expected) << kind;
    }

    EXPECT_EQ(radioKind(Url), Url);
    EXPECT_EQ(radioKind(static_cast<EntryKind>(9)), CustomCommand);
    KindRadios none;  // the URL fields apply; OK keeps the kind it had
    EXPECT_EQ(kindForFields(none), Url);
    EXPECT_EQ(kindOnOk(none, Separator), Separator);
    KindRadios two;  // the two rules test the radios in different orders
    two.custom = two.separator = true;
    EXPECT_EQ(kindForFields(two), CustomCommand);
    EXPECT_EQ(kindOnOk(two, Url), Separator);
}
