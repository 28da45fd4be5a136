#include "app/Hotkey.h"
#include "app/MainSession.h"
#include "launch/RememberedPasswords.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

using namespace qb;
using namespace qbtest;

namespace {

using Answer = MessageBoxes::Answer;

std::vector<std::string> titlesOf(const MainSession& session)
{
    std::vector<std::string> titles;
    for (int row = 0; row < session.rows().count(); ++row)
        titles.push_back(session.rows().host(row)->title);
    return titles;
}

struct View final : MainView {
    std::vector<int> shown;  // the focus row of each showing of the rows
    int closes = 0, refreshes = 0;
    int selected = -1;  // as a list's selection, which a rebuild drops
    std::function<bool(HostItem&)> editor;
    std::function<bool(OptionsForm&)> options;

    void showRows(int focusRow) override
    {
        shown.push_back(focusRow);
        selected = -1;
    }
    void postClose() override { ++closes; }
    void postRefresh() override { ++refreshes; }
    int pressedRow() const override { return selected; }
    void selectRow(int row) override { selected = row; }
    bool runHostEditor(HostItem& working, int32_t, int32_t) override { return editor(working); }
    bool runOptionsDialog(OptionsForm& form) override { return options(form); }
    bool registerHotkey(uint32_t) override { return true; }
    std::string keyName(uint32_t value) override { return std::string(1, static_cast<char>(value & 0xFF)); }
    void moveTopLeftTo(int32_t, int32_t) override {}
    void dropTaskbarButton() override {}
    void currentTopLeft(int32_t& x, int32_t& y) override { x = y = 0; }
};

struct Program {
    FakeServices fake;
    View view;
    MainSession session{fake.services, view};

    explicit Program(const std::string& file)
    {
        fake.files.status.opened = true;
        fake.files.bytes = file;
        session.start(std::nullopt);
    }
    HostItem* row(const std::string& title) const
    {
        for (int at = 0; at < session.rows().count(); ++at)
            if (session.rows().host(at)->title == title)
                return session.rows().host(at);
        return nullptr;
    }
};

}  // namespace

// Nothing an editor or a menu refers to may change or be freed under it; each request is posted once afterwards.
TEST(MainSession, ACloseOrARefreshDuringANestedLoopWaitsForItsEnd)
{
    for (const bool editor : {true, false}) {
        SCOPED_TRACE(editor ? "the host editor" : "a host's menu");
        Program p(fileOf({"a"}));
        const auto interrupt = [&p] {
            p.fake.files.bytes = fileOf({"a", "their"});
            EXPECT_FALSE(p.session.refresh());
            EXPECT_FALSE(p.session.close());
            EXPECT_EQ(p.session.hosts().size(), 1u);
            EXPECT_EQ(p.view.closes + p.view.refreshes, 0) << "posted while the loop runs";
        };
        p.view.editor = [&](HostItem& working) {
            interrupt();
            working.title = "mine";
            return true;
        };
        if (editor) {
            p.session.runListCommand(CmdProperties, p.row("a"));
        } else {
            MainSession::NestedLoop menu(p.session);
            interrupt();
        }
        EXPECT_EQ(std::make_pair(p.view.closes, p.view.refreshes), std::make_pair(1, 1));
        EXPECT_EQ(p.session.refresh(), !editor) << "the editor's save took their change in already";
        EXPECT_TRUE(p.session.close());
        EXPECT_EQ(titlesOf(Program(p.fake.files.bytes).session),
                  (std::vector<std::string>{editor ? "mine" : "a", "their"}));
        EXPECT_EQ(p.fake.files.writes, editor ? 1 : 0) << "only the editor's change to write";
    }
}

// The file is read before the menu opens: the clicked host must be found again in what was merged.
TEST(MainSession, AClickedHostIsFoundAgainAfterAColleaguesSave)
{
    // their file, the clicked host's row in it
    const std::tuple<const char*, std::vector<std::string>, int> cases[] = {
        {"a host added before it", {"0", "a", "b"}, 2},
        {"the host deleted", {"a"}, -1},
    };
    for (const bool readBetweenPressAndRelease : {false, true})
        for (const auto& [name, theirs, row] : cases) {
            SCOPED_TRACE(std::string(name) + (readBetweenPressAndRelease ? ", read at the press" : ""));
            Program p(fileOf({"a", "b"}));
            p.view.selected = 1;
            p.fake.files.bytes = fileOf(theirs);
            if (readBetweenPressAndRelease) {
                p.session.refresh();
                EXPECT_EQ(p.view.selected, row);
            }
            HostItem* opened = p.session.hostToOpen(p.view.selected);
            EXPECT_EQ(opened, p.session.rows().host(row));
            EXPECT_EQ(titlesOf(p.session), theirs);
        }
    Program p(fileOf({}));
    EXPECT_EQ(p.session.hostToOpen(0), nullptr);
}

// The folder watch starts after the first paint, so a save made before it would otherwise go unseen.
TEST(MainSession, ASaveBeforeTheWatchStartsIsShownWhenItStarts)
{
    const FileStamp read{true, 10, 100};
    // the stamp when the watch starts, the titles shown then
    const std::pair<FileStamp, std::vector<std::string>> cases[] = {
        {{true, 11, 100}, {"a", "their"}}, {{true, 10, 120}, {"a", "their"}}, {read, {"a"}}};
    for (const auto& [now, titles] : cases) {
        SCOPED_TRACE(::testing::Message() << "stamp " << now.writeTime << " " << now.size);
        Program p(fileOf({"a"}));
        p.fake.files.bytes = fileOf({"a", "their"});
        p.session.watchStarted(read, now);
        EXPECT_EQ(titlesOf(p.session), titles);
    }
}

// The editors work on copies: Cancel leaves the host and the options as they were.
TEST(MainSession, ACancelledEditorChangesNothing)
{
    Program p(fileOf({"a"}));
    p.view.editor = [](HostItem& working) {
        working.title = "mine";
        return false;
    };
    p.view.options = [](OptionsForm& form) {
        form.rdpWidthText = "1280";
        return false;
    };
    for (const int command : {CmdProperties, CmdOptions})
        p.session.runListCommand(command, p.row("a"));
    EXPECT_TRUE(p.row("a"));
    EXPECT_TRUE(p.session.close());
    EXPECT_EQ(p.fake.files.writes, 0) << "nothing changed to write";
}

// The hotkey control's bits as the system registers them: Shift and Alt swapped, the extended-key bit no Win.
TEST(Hotkey, TheControlsValueBecomesTheRegistrationsModifiers)
{
    const std::pair<uint32_t, Hotkey> cases[] = {
        {0x0600 | 'Q', {kModControl | kModAlt, 'Q'}},
        {0x0100 | 'F', {kModShift, 'F'}},
        {0x0A00 | 0x24, {kModControl, 0x24}},
        {0x0600, {0, 0}},
    };
    for (const auto& [value, hotkey] : cases)
        EXPECT_EQ(hotkeyFromControl(value), hotkey) << std::hex << value;
}

TEST(MainSession, TheHotkeyFromTheOptionsIsStoredOnOkOnly)
{
    Program p(fileOf({"a"}));
    const uint32_t ctrlK = 0x0200 | 'K';
    for (const bool ok : {false, true}) {
        p.view.options = [&](OptionsForm& form) {
            form.hotkey = ctrlK;
            return ok;
        };
        p.session.runListCommand(CmdOptions, p.row("a"));
        EXPECT_EQ(p.fake.settings.readNumber(kHotkeySetting), ok ? std::optional<uint32_t>(ctrlK) : std::nullopt);
    }
}

// Enter on the question must not delete.
TEST(MainSession, DeleteByAKeyAsksWithNoTheDefault)
{
    Program p(fileOf({"a", "b"}));
    p.fake.messages.answers = {Answer::No};
    p.session.askAndDelete(*p.row("a"));
    EXPECT_EQ(p.fake.messages.asked, std::vector<std::string>{"Delete \"a\"?"});
    EXPECT_EQ(p.fake.messages.kinds, std::vector<MessageBoxes::Question>{MessageBoxes::Question::NoFirst});
    EXPECT_EQ(p.fake.files.bytes, fileOf({"a", "b"}));
}

// Only that host name's passwords go (in any case), not those of a name that merely begins the same.
TEST(MainSession, ForgetsTheRememberedPasswordsOfAHostNameAfterAYes)
{
    Program p(fileOf({"pc1"}));
    const std::pair<const char*, const char*> kept[] = {
        {"PC1", "Login"}, {"pc1", "Other"}, {"pc10", "Login"}, {"pc1/x", "y"}};
    for (const auto& [hostName, entry] : kept) {
        std::string error;
        p.fake.passwords.write({rememberedTarget(hostName, entry), "binding", "secret"}, error);
    }
    p.fake.messages.answers = {Answer::No, Answer::Yes};
    p.session.runListCommand(CmdForgetPasswords, p.row("pc1"));
    EXPECT_EQ(p.fake.passwords.kept.size(), 4u);
    p.session.runListCommand(CmdForgetPasswords, p.row("pc1"));
    EXPECT_EQ(p.fake.messages.asked, std::vector<std::string>(2, "Forget 2 remembered passwords for \"pc1\"?"));
    EXPECT_EQ(p.fake.passwords.kept.size(), 2u);
    EXPECT_EQ(p.session.contextMenu(*p.row("pc1")).back().text, "Properties for \"pc1\"") << "none left to forget";
}

TEST(MainSession, ARefreshWhileFindingShowsTheNewRowsThroughTheFind)
{
    Program p(fileOf({"a1", "b1", "a2"}));
    p.session.find("A", asciiCaseTable());
    EXPECT_EQ(titlesOf(p.session), (std::vector<std::string>{"a1", "a2"}));
    EXPECT_EQ(p.view.shown.back(), 0);
    p.fake.files.bytes = fileOf({"a1", "b1", "a2", "a0", "b2"});
    EXPECT_TRUE(p.session.refresh());
    EXPECT_EQ(titlesOf(p.session), (std::vector<std::string>{"a0", "a1", "a2"}));
    p.session.find("zz", asciiCaseTable());
    EXPECT_EQ(p.view.shown.back(), -1) << "nothing found, nothing to focus";
    p.session.find("a", asciiCaseTable());
    p.session.endFind(p.row("a2"));
    EXPECT_EQ(titlesOf(p.session), (std::vector<std::string>{"a0", "a1", "a2", "b1", "b2"}));
    EXPECT_EQ(p.view.shown.back(), 2);
}
