#include "editors/EntryKindFields.h"
#include "editors/EntryListOps.h"
#include "editors/EntryRows.h"
#include "editors/OptionsValues.h"
#include "editors/TemplateEntries.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace qb;

namespace {

CommandEntry makeEntry(EntryKind kind)
{
    CommandEntry e;
    e.kind = kind;
    e.name = "name";
    e.program = "prog";
    e.params = "-p";
    e.icon = 42;
    e.confirm = true;
    e.bold = false;
    e.templateHost = "th";
    e.drives = "CD";
    e.url = "http://x/";
    e.alternateBrowser = true;
    e.urlName = "web";
    return e;
}

EntryList namedEntries(std::initializer_list<const char*> names)
{
    EntryList list;
    for (const char* n : names) {
        auto e = newEntry();
        e->name = n;
        list.push_back(std::move(e));
    }
    return list;
}

std::vector<std::string> names(const EntryList& list)
{
    std::vector<std::string> out;
    for (const auto& e : list)
        out.push_back(e->name);
    return out;
}

}  // namespace

// ---- rows of the entries list -------------------------------------------------

TEST(EditorsEntryRows, EachKindShowsOnlyItsOwnFields)
{
    struct Case {
        EntryKind kind;
        std::array<std::string, 5> cells;
        bool hasImage;
    };
    const Case cases[] = {
        {CustomCommand, {"name", "prog", "-p", "Yes", "No"}, true},
        {WindowsTemplate, {"* Windows *", "th", "CD", "", ""}, true},
        {Separator,
         {std::string(23, '-'), std::string(47, '-'), std::string(57, '-'), "--------", "--------"},
         false},
        {Url, {"web", "http://x/", "Alternate Browser", "", ""}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EntryRow row = entryRow(makeEntry(c.kind));
        EXPECT_EQ(row.cells, c.cells);
        EXPECT_EQ(row.hasImage, c.hasImage);
        if (c.hasImage) {
            EXPECT_EQ(row.image, 42);
        }
    }
    CommandEntry plain = makeEntry(Url);
    plain.alternateBrowser = false;
    EXPECT_EQ(entryRow(plain).cells[2], "Default Browser");
}

// ---- template entries ---------------------------------------------------------

TEST(EditorsTemplateEntries, FullSetForHostWithEntries)
{
    EntryList list = namedEntries({"existing"});
    appendTemplateEntries(list, "srv1", "DE", 1280, 1024);

    using Row = std::tuple<EntryKind, std::string, std::string, std::string, int, bool, bool>;
    const std::vector<Row> expected = {
        {CustomCommand, "existing", "", "", 0, false, false},
        {Separator, "", "", "", 0, false, false},
        {CustomCommand, "srv1", "mstsc", "/v:srv1 /w:1280 /h:1024", 17, false, true},
        {CustomCommand, "D:", "\\\\srv1\\D$", "", 72, false, false},
        {CustomCommand, "E:", "\\\\srv1\\E$", "", 72, false, false},
        {CustomCommand, "Manage", "compmgmt.msc", "/computer:srv1", 7, false, false},
        {CustomCommand, "Reboot", "shutdown.exe", "-r -m \\\\srv1", 70, true, false},
        {CustomCommand, "Shutdown", "shutdown.exe", "-m \\\\srv1", 71, true, false},
    };
    ASSERT_EQ(list.size(), expected.size());
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        const CommandEntry& e = *list[i];
        EXPECT_EQ(Row(e.kind, e.name, e.program, e.params, e.icon, e.confirm, e.bold), expected[i]);
        EXPECT_EQ(e.templateHost, "");
        EXPECT_EQ(e.drives, "");
        EXPECT_EQ(e.url, "");
        EXPECT_EQ(e.urlName, "");
        EXPECT_FALSE(e.alternateBrowser);
    }
}

TEST(EditorsTemplateEntries, OnlyTheWidthMeansFullScreen)
{
    EXPECT_EQ(remoteDesktopParams("h", -1, 600), "/v:h");
    EXPECT_EQ(remoteDesktopParams("h", -1, -1), "/v:h");
    EXPECT_EQ(remoteDesktopParams("h", 800, -1), "/v:h /w:800 /h:-1");
    EXPECT_EQ(remoteDesktopParams("", 0, 0), "/v: /w:0 /h:0");

    EntryList list;  // no entries yet: no separator first
    appendTemplateEntries(list, "srv1", "", 1024, 768);
    EXPECT_EQ(names(list), (std::vector<std::string>{"srv1", "Manage", "Reboot", "Shutdown"}));
}

TEST(EditorsTemplateEntries, EveryDriveCharacterIsAnEntry)
{
    EntryList list;
    appendTemplateEntries(list, "h", "D,E", 1024, 768);
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[1]->name, "D:");
    EXPECT_EQ(list[2]->name, ",:");
    EXPECT_EQ(list[2]->program, "\\\\h\\,$");
    EXPECT_EQ(list[3]->name, "E:");
}

// ---- delete, up, down --------------------------------------------------------

TEST(EditorsEntryListOps, DeleteLeavesTheExpectedSelection)
{
    struct Case {
        int count, row;
        bool changed;
        int select;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {3, 0, true, 0, {"b", "c"}},
        {3, 1, true, 1, {"a", "c"}},
        {3, 2, true, 1, {"a", "b"}},  // the last row: the new last row
        {1, 0, true, kNoRow, {}},     // the only row: nothing selected
        {3, kNoRow, false, kNoRow, {"a", "b", "c"}},
        {3, 3, false, kNoRow, {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.count << " rows, delete " << c.row);
        EntryList list = c.count == 1 ? namedEntries({"a"}) : namedEntries({"a", "b", "c"});
        EntryListChange change = deleteEntry(list, c.row);
        EXPECT_EQ(change.changed, c.changed);
        EXPECT_EQ(change.select, c.select);
        EXPECT_EQ(names(list), c.left);
    }
}

TEST(EditorsEntryListOps, UpAndDownMoveEveryFieldAndStopAtTheEnds)
{
    EntryList list = namedEntries({"a", "b", "c"});
    list[1]->kind = Url;
    list[1]->icon = 9;
    EXPECT_EQ(moveEntryUp(list, 1).select, 0);
    EXPECT_EQ(names(list), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(list[0]->kind, Url);
    EXPECT_EQ(list[0]->icon, 9);
    EXPECT_EQ(moveEntryDown(list, 0).select, 1);
    EXPECT_EQ(names(list), (std::vector<std::string>{"a", "b", "c"}));

    for (int row : {0, kNoRow})
        EXPECT_FALSE(moveEntryUp(list, row).changed);
    for (int row : {2, 3, kNoRow})
        EXPECT_FALSE(moveEntryDown(list, row).changed);
    EXPECT_EQ(names(list), (std::vector<std::string>{"a", "b", "c"}));
}

// ---- kind fields and radio rules --------------------------------------------

TEST(EditorsEntryKindFields, EnabledControlsPerKind)
{
    using namespace entry_ctl;
    struct Case {
        EntryKind kind;
        std::vector<int> enabled;
    };
    const Case cases[] = {
        {CustomCommand, {kName, kCommand, kParams, kBold, kConfirm, kIcon}},
        {WindowsTemplate, {kIcon, kTemplateHost, kDrives}},
        {Separator, {}},
        {Url, {kIcon, kUrl, kUrlName, kAlternateBrowser}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        std::vector<int> enabled;
        for (const KindField& f : kKindFields) {
            if (fieldEnabled(f.controlId, c.kind))
                enabled.push_back(f.controlId);
        }
        EXPECT_EQ(enabled, c.enabled);
    }
    EXPECT_FALSE(fieldEnabled(kName, static_cast<EntryKind>(7)));
}

TEST(EditorsEntryKindFields, RadioRules)
{
    EXPECT_EQ(radioForKind(Url), entry_ctl::kRadioUrl);
    EXPECT_EQ(radioForKind(static_cast<EntryKind>(9)), entry_ctl::kRadioCustom);

    KindRadios none;  // the URL fields apply; OK keeps the kind it had
    EXPECT_EQ(kindForFields(none), Url);
    EXPECT_EQ(kindOnOk(none, Separator), Separator);

    // The two rules test the radios in different orders.
    KindRadios two;
    two.custom = two.separator = true;
    EXPECT_EQ(kindForFields(two), CustomCommand);
    EXPECT_EQ(kindOnOk(two, Url), Separator);
}

// ---- options ------------------------------------------------------------------

TEST(EditorsOptionsValues, SizesTravelAsTextAndReadAsAtoi)
{
    AppOptions options;
    options.rdpWidth = -1;
    OptionsForm form = optionsToForm(options);
    EXPECT_EQ(form.rdpWidthText, "-1");
    EXPECT_EQ(form.rdpHeightText, "768");

    const std::pair<const char*, int32_t> cases[] = {{"1280px", 1280}, {"letters", 0}, {"-1", -1}};
    for (const auto& [text, number] : cases) {
        form.rdpWidthText = text;
        form.alternateBrowserText = "";
        applyOptionsForm(form, options);
        EXPECT_EQ(options.rdpWidth, number) << text;
        EXPECT_EQ(options.rdpHeight, 768);
        EXPECT_EQ(options.alternateBrowserPath, "");  // an empty path is accepted
    }
}
