#include "app/CatalogueSession.h"
#include "catalogue/CatalogueMerge.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qb;
using namespace qbtest;

namespace {

const std::string kWhole = "<X>5<Y>6<BROWSER>b<RDPX>1<RPDY>2<HIDE><END>\r\n"
                           "<ITEM>kept<HOST>k<ICON>1<COL>-1\r\n";

HostCatalogue::iterator find(HostCatalogue& hosts, const std::string& title)
{
    return std::find_if(hosts.begin(), hosts.end(), [&](const auto& item) { return item->title == title; });
}

struct Program {
    FakeStore& store;
    CatalogueSession session;
    HostCatalogue hosts;
    AppOptions options;
    RecordingWindow window;
    std::vector<std::string> messages;
    SaveReport report = [this](const std::string& m) { messages.push_back(m); };

    explicit Program(FakeStore& files) : store(files), session(files) { session.load(hosts, options, window, report); }
    SaveOutcome save() { return session.save(hosts, options, window, report); }
    bool refresh() { return session.refresh(hosts, options, window, report); }
};

// Read in pieces where a store can: the digest must not depend on how the bytes come.
FakeStore fileHolding(const std::string& bytes)
{
    FakeStore store;
    store.status.opened = true;
    store.bytes = bytes;
    store.piece = 7;
    return store;
}

}  // namespace

// A save over a file not read whole would drop its hosts. Refusals are told at load and each save; once the file
// reads whole again it is merged with what was done.
TEST(CatalogueSession, AFileThatCouldNotBeReadWholeIsNeverWritten)
{
    const std::string refusal = "Unable to read quillbank.ini: Sharing violation.\n"
                                "Changes made now will not be saved. Start Quillbank again when the file can be read.";
    const std::string reason = "Sharing violation.";
    // what, the read (opened, missing, read error), hosts shown
    const std::tuple<const char*, ReadStatus, size_t> cases[] = {
        {"locked", {false, false, false, reason}, 0},
        {"read failed part way", {true, false, true, reason}, 1},
    };
    const std::string later = kWhole + "<ITEM>dropped<HOST>d<ICON>0<COL>-1\r\n";
    for (const auto& [name, status, hostsShown] : cases) {
        SCOPED_TRACE(name);
        FakeStore store;
        store.status = status;
        // Part way: the host being read when it failed is dropped.
        store.bytes = status.readError ? kWhole + "<ITEM>dropped<HOST>d\r\n  <NAME>cu" : kWhole;
        Program program(store);
        EXPECT_EQ(program.hosts.size(), hostsShown) << "what could be read is shown";
        program.hosts.push_back(host("new", "n", 0, -1));
        for (int save = 0; save < 2; ++save)
            EXPECT_FALSE(program.save().saved);
        EXPECT_EQ(store.writes, 0);
        EXPECT_TRUE(program.session.savesRefused());
        EXPECT_EQ(program.messages, std::vector<std::string>(3, refusal)) << "once at load, then at each save";
        store.status = {true, false, false, ""};
        store.bytes = later;
        EXPECT_TRUE(program.save().saved);
        EXPECT_FALSE(program.session.savesRefused());
        const std::vector<std::string> merged = {"kept", "dropped", "new"};
        EXPECT_EQ(titlesOf(program.hosts), merged);
        EXPECT_EQ(titlesOf(Loaded(store.bytes).hosts), merged);
    }
}

// Each save is locked, sweeps leftovers, merges with the file, and writes only when that changes it.
TEST(CatalogueSession, SavesMergeAnotherProgramsChange)
{
    using Edit = std::function<void(HostCatalogue&)>;
    using Their = std::vector<std::string>;
    const Edit appendMine = [](HostCatalogue& h) { h.push_back(host("mine", "mine", 0, -1)); };
    const Edit changeB = [](HostCatalogue& h) { (*find(h, "b"))->hostName = "mine"; };
    const Their withMine = {"a", "b", "c", "mine"};
    struct Case {
        const char* name;
        Edit mine;
        std::optional<Their> theirs;  // none: nobody else saved
        Their file;                   // titles on disk afterwards
        bool written, changed, conflict;
    };
    const Case cases[] = {
        {"only mine", appendMine, {}, withMine, true, false, false},
        {"they deleted what I changed: kept, told", changeB, Their{"a", "c"}, {"a", "b", "c"}, true, true, true},
        {"they made my change too", appendMine, withMine, withMine, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStore store = fileHolding(fileOf({"a", "b", "c"}));
        Program program(store);
        EXPECT_EQ(store.locks, std::vector<FileStore::LockMode>{FileStore::LockMode::Shared}) << "load";
        c.mine(program.hosts);
        if (c.theirs)
            store.bytes = fileOf(*c.theirs);
        const std::string before = store.bytes;

        EXPECT_EQ(program.save().changed, c.changed);
        EXPECT_EQ(store.locks.back(), FileStore::LockMode::Exclusive);
        EXPECT_EQ(store.leftoverSweeps, 1);
        EXPECT_EQ(store.sweepsUnlocked, 0);
        EXPECT_EQ(store.writes, c.written ? 1 : 0);
        EXPECT_EQ(store.backup, c.written ? std::optional<std::string>(before) : std::nullopt);
        EXPECT_EQ(titlesOf(program.hosts), c.file) << "memory is what the file holds";
        EXPECT_TRUE(c.conflict || store.bytes == fileOf(c.file));
        EXPECT_EQ(program.messages,
                  c.conflict ? std::vector<std::string>{mergeConflictMessage({"b"})} : std::vector<std::string>{});
        // What was written is the base: the next save writes nothing.
        program.save();
        EXPECT_EQ(store.writes, c.written ? 1 : 0);
    }
}

TEST(CatalogueSession, ALockNotHadOrAFailedWriteChangesNothing)
{
    FakeStore store = fileHolding(fileOf({"a"}));
    Program program(store);
    program.hosts.push_back(host("mine", "mine", 0, -1));
    store.lockFailure = "locked by another";
    EXPECT_FALSE(program.save().saved);
    EXPECT_EQ(store.writes, 0);
    EXPECT_EQ(store.leftoverSweeps, 0);

    // Another program appended and this write fails: the file and backup stay.
    store.lockFailure.reset();
    store.failure = "disk full";
    store.bytes = fileOf({"a", "their"});
    EXPECT_FALSE(program.save().saved);
    EXPECT_FALSE(store.backup);
    EXPECT_EQ(store.bytes, fileOf({"a", "their"}));
    EXPECT_EQ(program.messages, (std::vector<std::string>{"Unable to save quillbank.ini: locked by another",
                                                          "Unable to save quillbank.ini: disk full"}));
    store.failure.reset();
    EXPECT_TRUE(program.save().saved);
    EXPECT_EQ(store.bytes, fileOf({"a", "their", "mine"})) << "nothing lost, nothing doubled";
}

// What a refresh read is the next save's base.
TEST(CatalogueSession, RefreshMergesWithoutWriting)
{
    FakeStore store = fileHolding(fileOf({"a", "b"}));
    Program program(store);
    program.options.rdpHeight = 900;  // waiting for the next save
    store.bytes = fileOf({"a", "b", "their"});

    EXPECT_TRUE(program.refresh());
    EXPECT_EQ(store.locks.back(), FileStore::LockMode::Shared);
    EXPECT_EQ(titlesOf(program.hosts), (std::vector<std::string>{"a", "b", "their"}));
    EXPECT_EQ(program.options.rdpHeight, 900);
    EXPECT_FALSE(program.refresh());
    EXPECT_EQ(store.writes, 0);

    program.hosts.erase(find(program.hosts, "a"));
    EXPECT_FALSE(program.save().changed) << "the refresh's read is the base";
    AppOptions expected;
    expected.rdpHeight = 900;
    EXPECT_EQ(store.bytes, fileOf({"b", "their"}, expected));
}

// Only a change another program saved since the load is merged into the copy taken over.
TEST(CatalogueSession, TakeOverWritesTheCopyAndMergesOnlyLaterChanges)
{
    AppOptions copyOptions;
    copyOptions.rdpWidth = 1280;
    FakeStore store = fileHolding(fileOf({"a", "b"}));
    Program program(store);
    store.bytes = fileOf({"a", "b", "their"});
    const std::string before = store.bytes;

    EXPECT_TRUE(
        program.session
            .takeOver(fileOf({"a", "c"}, copyOptions), program.hosts, program.options, program.window, program.report)
            .saved);
    EXPECT_EQ(store.bytes, fileOf({"a", "c", "their"}, copyOptions));
    EXPECT_EQ(titlesOf(program.hosts), (std::vector<std::string>{"a", "c", "their"}));
    EXPECT_EQ(store.backup, before);
    EXPECT_TRUE(program.messages.empty());
}

// Lines the reader ignores stay in the file until the user changes something.
TEST(CatalogueSession, WritesOnlyARealChange)
{
    const std::string junk = kWhole + "; a note\r\n\r\n  <sep>\r\n<ITEM>two<HOST>t<ICON>0<COL>-1\r\n";
    const std::string noOptions = "<ITEM>solo<HOST>s<ICON>0<COL>-1\r\n# a note\r\n";
    const std::string noBrowser = "<X>5<Y>6<BROWSER><RDPX>1<RPDY>2<END>\r\n<ITEM>kept<HOST>k<ICON>1<COL>-1\r\n";
    using Edit = std::function<void(Program&)>;
    const Edit nothing = [](Program&) {};
    const std::tuple<const char*, std::string, Edit, bool> cases[] = {
        {"nothing", junk, nothing, false},
        {"no position in the file", noOptions, nothing, false},
        // An empty browser reads back as the default one: only the bytes tell this from a change.
        {"an option back to the file's spelling", noBrowser, [](Program& p) { p.options.alternateBrowserPath = ""; },
         false},
        {"the browser emptied", junk, [](Program& p) { p.options.alternateBrowserPath = ""; }, true},
        {"moved", junk, [](Program& p) { p.window.left = 7; }, true},
        {"an option", junk, [](Program& p) { p.options.rdpHeight = 3; }, true},
        {"a host", junk, [](Program& p) { p.hosts.back()->icon = 2; }, true},
    };
    for (const auto& [name, file, edit, written] : cases) {
        SCOPED_TRACE(name);
        FakeStore store = fileHolding(file);
        Program program(store);
        edit(program);
        EXPECT_TRUE(program.save().saved);
        EXPECT_EQ(store.writes, written ? 1 : 0);
        EXPECT_EQ(store.bytes == file, !written);
        EXPECT_EQ(store.locks.size(), written ? 2u : 1u) << "no lock taken for nothing to write";
        // Unchanged since the load and another options line: the digest says all, the save never holds it whole.
        EXPECT_TRUE(std::string(name) != "moved" || store.wholeReads == 1);
    }
}

// Said once, not at every save.
TEST(CatalogueSession, ABackupNotKeptIsToldOnce)
{
    FakeStore store = fileHolding(fileOf({"a"}));
    store.backupFailure = "Permission denied";
    Program program(store);
    for (const char* title : {"new", "newer"}) {
        program.hosts.push_back(host(title, "n", 0, -1));
        EXPECT_TRUE(program.save().saved);
    }
    EXPECT_EQ(program.messages, std::vector<std::string>{"quillbank.ini was saved, but its previous version could "
                                                         "not be kept as quillbank.ini.bak: Permission denied"});
}
