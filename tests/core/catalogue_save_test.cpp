#include "app/CatalogueSession.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#ifdef _WIN32
#include <windows.h>

#include "handles/Handles.h"
#else
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace qb;
using namespace qbtest;
namespace fs = std::filesystem;

namespace {

const std::string kPrefix = "Unable to save quillbank.ini: ";
const std::string kOld = "<X>1<Y>2<BROWSER>b<RDPX>3<RPDY>4<END>\r\n<ITEM>old<HOST>h<ICON>0<COL>-1\r\n";

HostCatalogue sampleCatalogue(int hosts)
{
    HostCatalogue catalogue;
    for (int i = 0; i < hosts; ++i)
        catalogue.push_back(mailHost());
    return catalogue;
}

}  // namespace

// On disk and back, byte for byte, written a piece at a time: many pieces, and one host larger than a piece.
TEST(CatalogueSave, ReplacesTheFileWholeAndLoadsBack)
{
    HostCatalogue hosts = sampleCatalogue(3000);
    hosts.push_back(host("\xE9t\xE9 \x80\xFF\x01", "10.0.0.1", -5, 0));
    hosts.insert(hosts.begin() + 1000, host(std::string(400000, 'L'), "large", 1, 2));
    AppOptions options;
    RecordingWindow window;
    window.left = -1920;
    window.top = -8;

    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    writeFile(path, std::string(2000000, 'o'));  // longer than what replaces it
    EXPECT_TRUE(saveCatalogue(
        hosts, options, window, [](const std::string& m) { ADD_FAILURE() << m; }, qbtest::platformStore(), path));
    EXPECT_TRUE(readFile(path) == formatCatalogue(hosts, options, -1920, -8));
    EXPECT_EQ(folder.names(), std::set<std::string>{"quillbank.ini"});

    Loaded loaded;
    loadCatalogue(loaded.hosts, loaded.options, loaded.window, qbtest::platformStore(), path);
    EXPECT_TRUE(loaded.written() == formatCatalogue(hosts, options, 0, 0));
}

// Two sources hold the same bytes however each cuts them; a difference anywhere, or one ending first, tells.
TEST(CatalogueSave, BytesCompareAsTheyCome)
{
    struct Cut final : ByteSource {
        std::string_view rest;
        size_t piece;
        Cut(std::string_view bytes, size_t size) : rest(bytes), piece(size) {}
        std::string_view next() override
        {
            const std::string_view taken = rest.substr(0, piece);
            rest.remove_prefix(taken.size());
            return taken;
        }
    };
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"abcdef", "abcdef", true},
        {"abcdef", "abcdeg", false},
        {"abcdef", "abcde", false},
        {"abcde", "abcdef", false},
    };
    for (const auto& [a, b, same] : cases)
        for (size_t piece : {1, 4}) {
            Cut first(a, piece), second(b, piece + 1), third(a, piece);
            EXPECT_EQ(sameBytes(first, second), same) << a << " " << b << " " << piece;
            EXPECT_EQ(sameBytes(third, b), same) << a << " " << b << " " << piece;
        }
}

// A file that cannot be read changes nothing, hangs nothing, and is not "missing".
TEST(CatalogueLoad, AFileThatCannotBeReadChangesNothing)
{
    TempFolder folder;
    fs::create_directories(folder.file("adir"));
    const std::string other = folder.file("other.ini");
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(other.c_str(), 0666), 0);  // its reader would wait for a writer
    const char* otherError = "Not a regular file";
#else
    writeFile(other, kOld);
    const win::FileHandle held(::CreateFileA(other.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);  // by another program throughout
    const char* otherError = nullptr;
#endif
    // the folder's reason is the system's
    const std::pair<std::string, const char*> cases[] = {{folder.file("adir"), nullptr}, {other, otherError}};
    for (const auto& [path, error] : cases) {
        SCOPED_TRACE(path);
        Loaded loaded;
        loaded.options.rdpWidth = 5;
        ReadStatus status = loadCatalogue(loaded.hosts, loaded.options, loaded.window, qbtest::platformStore(), path);
        EXPECT_TRUE(loaded.hosts.empty());
        EXPECT_EQ(loaded.options.rdpWidth, 5);
        EXPECT_TRUE(loaded.window.moves.empty());
        EXPECT_FALSE(status.opened);
        EXPECT_FALSE(status.missing);
        EXPECT_FALSE(status.error.empty());
        EXPECT_TRUE(!error || status.error == error) << status.error;
    }
}

// A failed save is reported once, with a reason, and leaves everything as it was.
TEST(CatalogueSave, AFailedSaveLeavesEverythingAsItWas)
{
    // what, the target, it is a folder with a file in it, it has another name (rewritten in place), the fault
    // (Windows: the target held open without sharing; POSIX: room for the old bytes, not the new)
    const std::tuple<const char*, const char*, bool, bool, bool> faults[] = {
        {"target is a folder", "quillbank.ini", true, false, false},
        {"folder does not exist", "gone/quillbank.ini", false, false, false},
        {"held, or a write stops short", "quillbank.ini", false, false, true},
#ifndef _WIN32
        {"a rewrite in place stops short: the old bytes are put back", "quillbank.ini", false, true, true},
#endif
    };
    for (const auto& [what, target, isFolder, hardLinked, fault] : faults) {
        SCOPED_TRACE(what);
        TempFolder folder;
        const std::string path = folder.file(target);
        if (isFolder)
            fs::create_directories(path);
        writeFile(isFolder ? path + "/keep.txt" : path, kOld);  // no-op when the folder is gone
        if (hardLinked)
            fs::create_hard_link(path, folder.file("other.ini"));
        const auto namesBefore = folder.names();
        const HostCatalogue hosts = sampleCatalogue(50);  // well past the size limit below
        RecordingWindow window;
        std::vector<std::string> messages;
        const auto save = [&] {
            return saveCatalogue(
                hosts, {}, window, [&](const std::string& m) { messages.push_back(m); }, qbtest::platformStore(), path);
        };
#ifdef _WIN32
        win::FileHandle held(fault ? ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                   : INVALID_HANDLE_VALUE);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = save();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        held.reset();  // for the reads below
#else
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limited{fault ? 1000 : saved.rlim_cur, saved.rlim_max};
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limited);
        const bool ok = save();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
#endif
        EXPECT_FALSE(ok);
        ASSERT_EQ(messages.size(), 1u);
        const std::string& message = messages[0];
        EXPECT_EQ(message.compare(0, kPrefix.size(), kPrefix), 0) << message;
        EXPECT_GT(message.size(), kPrefix.size()) << "no reason given";
        EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
        EXPECT_EQ(folder.names(), namesBefore);
        EXPECT_TRUE(!fs::is_regular_file(path) || readFile(path) == kOld);
    }
}

// The file before a save is kept beside it, one generation, also by a rewrite in place; the new file is what the
// old one was (its owner, mode or attributes).
TEST(CatalogueSave, KeepsThePreviousFileAsTheBackup)
{
    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    const std::string backup = path + ".bak";
    FileStore& files = qbtest::platformStore();
    std::string error, backupError;
    auto keep = [&](const char* text) { return files.replaceKeepingBackup(path, text, error, backupError); };
    ASSERT_TRUE(keep("one")) << error;
    EXPECT_EQ(folder.names(), std::set<std::string>{"quillbank.ini"}) << "nothing to keep yet";
    ASSERT_TRUE(keep("two")) << error;
#ifdef _WIN32
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
#else
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chown(path.c_str(), root ? 65534 : -1, -1), 0);  // as root, another user's file
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
#endif
    ASSERT_TRUE(keep("three")) << error;
    EXPECT_EQ(readFile(path), "three");
#ifdef _WIN32
    EXPECT_TRUE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
#else
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(std::make_pair(info.st_uid, info.st_mode & 07777), std::make_pair(before.st_uid, 0604u));
#endif
    EXPECT_EQ(readFile(backup), "two");
    EXPECT_EQ(folder.names(), (std::set<std::string>{"quillbank.ini", "quillbank.ini.bak"}));
#ifdef _WIN32
    // Held by another program: the replace fails, the backup stays the one before.
    {
        const win::FileHandle held(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(keep("four"));
    }
    // What the failed replace left behind is the next save's sweep's.
    files.removeLeftovers(path);
    EXPECT_EQ(readFile(backup), "two");
#else
    // Another name for the file: rewritten in place, and the backup kept all the same.
    fs::create_hard_link(path, folder.file("other.ini"));
    EXPECT_TRUE(keep("four")) << error;
    EXPECT_EQ(readFile(folder.file("other.ini")), "four");
    EXPECT_EQ(readFile(backup), "three");
    fs::remove(folder.file("other.ini"));
#endif
    EXPECT_EQ(backupError, "");
    EXPECT_EQ(folder.names(), (std::set<std::string>{"quillbank.ini", "quillbank.ini.bak"}));
}

#ifndef _WIN32
constexpr uid_t kNobody = 65534;

void giveToSaver(const std::string& file)
{
    ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
}

// What work returned in a child process, run as user (when given) with QB_KILL_AT=killAt (when given), and how
// the child ended: its exit status, 137 when a step killed it.
std::pair<std::string, int> inChild(const std::function<std::string()>& work, std::optional<uid_t> user = {},
                                    const char* killAt = nullptr)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return {"no pipe", -1};
    const pid_t child = ::fork();
    if (child == 0) {
        if ((user && (::setgid(*user) != 0 || ::setuid(*user) != 0)) || (killAt && ::setenv("QB_KILL_AT", killAt, 1)))
            ::_exit(3);
        const std::string text = work();
        ::_exit(::write(pipe[1], text.data(), text.size()) == ssize_t(text.size()) ? 0 : 4);
    }
    ::close(pipe[1]);
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(got));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return {text, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Killed at any step of a save, by rename or rewritten in place (the file has another name), the file is the old
// or the new one, and the next save's sweep takes only its own leftovers and keeps the replaced bytes as the backup.
TEST(CatalogueSavePosix, ASaveKilledAtAnyStepKeepsTheFileAndTheBackup)
{
    const std::string kNew = "<X>0<Y>0<BROWSER>n<RDPX>1<RPDY>1<END>\r\n";
    const std::tuple<const char*, bool, std::optional<std::string>, bool> cases[] = {
        // step, rewritten in place, the file after the kill (torn in place), a backup after the sweep
        {"temporary-written", false, kOld, false}, {"backup-kept", false, kOld, false}, {"replaced", false, kNew, true},
        {"backup-kept", true, kOld, false},        {"in-place", true, {}, true},
    };
    for (const auto& [step, inPlace, file, backup] : cases) {
        SCOPED_TRACE(std::string(step) + (inPlace ? " in place" : ""));
        TempFolder folder;
        const std::string path = folder.file("quillbank.ini");
        writeFile(path, kOld);
        writeFile(path + ".tmp-mine", "");  // like ours in name only
        std::set<std::string> names{"quillbank.ini", "quillbank.ini.tmp-mine"};
        if (inPlace) {
            fs::create_hard_link(path, folder.file("other.ini"));
            names.insert("other.ini");
        }
        const auto killed = inChild(
            [&] {
                std::string error, backupError;
                qbtest::platformStore().replaceKeepingBackup(path, kNew, error, backupError);
                return error;
            },
            {}, step);
        EXPECT_EQ(killed.second, 137) << killed.first;
        EXPECT_EQ(file ? readFile(path) : "", file.value_or(""));
        qbtest::platformStore().removeLeftovers(path);
        if (backup)
            names.insert("quillbank.ini.bak");
        EXPECT_EQ(folder.names(), names);
        EXPECT_EQ(readFile(path + ".bak"), backup ? kOld : "");
    }

    // A second name that a killed save gave the file, not yet swept, is no reason to rewrite it in place.
    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    const std::string own = temporaryName(path + ".bak", 99999, 1);
    writeFile(path, kOld);
    fs::create_hard_link(path, own);
    std::string error;
    EXPECT_TRUE(qbtest::platformStore().replaceAll(path, kNew, error)) << error;
    EXPECT_FALSE(fs::equivalent(path, own));
}

// Every path to one catalogue locks the one lock file beside it, which only a saver makes. One that is there but
// cannot be locked fails the save, naming it: the catalogue itself, which the save replaces, is no lock.
TEST(CatalogueLockPosix, OneLockFileForEveryPathThatASaveNeverGoesWithout)
{
    TempFolder links;
    fs::create_directories(links.file("real"));
    writeFile(links.file("real/quillbank.ini"), kOld);
    fs::create_symlink("real/quillbank.ini", links.file("link.ini"));
    FileStore& files = qbtest::platformStore();
    std::string error;
    EXPECT_TRUE(files.lock(links.file("link.ini"), FileStore::LockMode::Shared, error)) << error;
    EXPECT_FALSE(fs::exists(links.file("real/quillbank.ini.lock"))) << "made by a reader";
    EXPECT_TRUE(files.lock(links.file("link.ini"), FileStore::LockMode::Exclusive, error)) << error;
    EXPECT_TRUE(fs::exists(links.file("real/quillbank.ini.lock")));
    EXPECT_EQ(links.names(), (std::set<std::string>{"link.ini", "real"}));

    // Another user's lock file (a folder in its place: the companion's lock check).
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to save as another user";
    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    writeFile(path, kOld);
    giveToSaver(folder.path.string());
    giveToSaver(path);
    writeFile(path + ".lock", "");
    const auto said = inChild(
        [&] {
            Loaded loaded;
            CatalogueSession session(qbtest::platformStore(), path);
            std::string messages;
            const SaveReport report = [&](const std::string& message) { messages += message; };
            session.load(loaded.hosts, loaded.options, loaded.window, report);
            loaded.hosts.push_back(host("new", "n", 0, -1));
            session.save(loaded.hosts, loaded.options, loaded.window, report);
            return messages;
        },
        kNobody);
    EXPECT_EQ(said.first, "Unable to save quillbank.ini: Permission denied (the lock file " +
                              (fs::canonical(folder.path) / "quillbank.ini.lock").string() + ")");
    EXPECT_EQ(readFile(path), kOld);
}

// Rewritten in place (the saver may not write the folder, or give the file's owner to a new one): the previous
// bytes are kept as the backup where one can be written, and the save says why where not.
TEST(CatalogueSavePosix, ARewriteInPlaceKeepsTheBackupOrSaysWhy)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to save as another user";
    const std::tuple<const char*, bool, bool, bool, std::string> cases[] = {
        // the folder the saver's, the file the saver's, a backup there already, why none was kept
        {"folder read-only, no backup yet", false, true, false, "Permission denied"},
        {"folder read-only, a backup to write over", false, true, true, ""},
        {"another user's file", true, false, false, ""},
    };
    for (const auto& [what, folderOwned, fileOwned, backupThere, why] : cases) {
        SCOPED_TRACE(what);
        TempFolder folder;
        const std::string path = folder.file("quillbank.ini");
        writeFile(path, kOld);
        ::chmod(path.c_str(), 0666);
        if (backupThere) {
            writeFile(path + ".bak", "older");
            giveToSaver(path + ".bak");
        }
        if (folderOwned)
            giveToSaver(folder.path.string());
        if (fileOwned)
            giveToSaver(path);
        const auto saved = inChild(
            [&] {
                std::string error, backupError;
                FileStore& files = qbtest::platformStore();
                const bool writable = files.writable(path, error);
                return std::to_string(writable) +
                       std::to_string(files.replaceKeepingBackup(path, "new", error, backupError)) + error +
                       backupError;
            },
            kNobody);
        EXPECT_EQ(saved.first, "11" + why);
        EXPECT_EQ(readFile(path), "new");
        EXPECT_EQ(readFile(path + ".bak"), why.empty() ? kOld : backupThere ? "older" : "");
    }
}

#endif
