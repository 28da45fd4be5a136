#include "catalogue/CatalogueFile.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#ifdef _WIN32
#include <thread>
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace qb;
using namespace qbtest;
namespace fs = std::filesystem;

namespace {

const std::string kPrefix = "Unable to save quillbank.ini: ";
const std::string kOld = "<X>1<Y>2<BROWSER>b<RDPX>3<RPDY>4<END>\r\n<ITEM>old<HOST>h<ICON>0<COL>-1\r\n";

HostCatalogue sampleCatalogue(int hosts = 2)
{
    HostCatalogue catalogue;
    for (int i = 0; i < hosts; ++i)
        catalogue.push_back(mailHost());
    return catalogue;
}

struct Saved {
    bool saved = false;
    std::vector<std::string> messages;
};

Saved save(const std::string& path, const HostCatalogue& hosts, FileStore& files = platformFileStore())
{
    Saved result;
    RecordingWindow window;
    result.saved = saveCatalogue(
        hosts, AppOptions{}, window, [&](const std::string& m) { result.messages.push_back(m); }, files, path);
    return result;
}

}  // namespace

TEST(CatalogueSave, ReportsAFailureInTheFixedWordsWithTheReasonCut)
{
    FakeStore store;
    store.failure = std::string(400, 'r');
    const Saved result = save("C:\\Users\\a\\quillbank.ini", sampleCatalogue(), store);
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(result.messages, std::vector<std::string>{kPrefix + std::string(255, 'r')});
}

// On disk and back, byte for byte (the format itself is checked apart).
TEST(CatalogueSave, ReplacesTheFileWholeAndLoadsBack)
{
    HostCatalogue hosts = sampleCatalogue();
    hosts.push_back(host("\xE9t\xE9 \x80\xFF\x01", "10.0.0.1", -5, 0));
    AppOptions options;
    RecordingWindow window;
    window.left = -1920;
    window.top = -8;

    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    writeFile(path, std::string(100000, 'o'));  // longer than what replaces it
    EXPECT_TRUE(saveCatalogue(
        hosts, options, window, [](const std::string& m) { ADD_FAILURE() << m; }, platformFileStore(), path));
    const std::string bytes = readFile(path);
    EXPECT_EQ(bytes, formatCatalogue(hosts, options, -1920, -8));
    EXPECT_EQ(folder.names(), std::set<std::string>{"quillbank.ini"});

    Loaded loaded;
    loadCatalogue(loaded.hosts, loaded.options, loaded.window, platformFileStore(), path);
    EXPECT_EQ(formatCatalogue(loaded.hosts, loaded.options, loaded.window.left, loaded.window.top), bytes);
}

// A file that cannot be read changes nothing, hangs nothing, and is not "missing".
TEST(CatalogueLoad, AFileThatCannotBeReadChangesNothing)
{
    TempFolder folder;
    fs::create_directories(folder.file("adir"));
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(folder.file("fifo.ini").c_str(), 0666), 0);
    fs::create_symlink("loop.ini", folder.file("loop.ini"));
#endif
    const std::pair<std::string, const char*> cases[] = {
        {folder.file("adir"), nullptr},  // the reason is the system's
#ifndef _WIN32
        {folder.file("fifo.ini"), "Not a regular file"},
        {folder.file("loop.ini"), "Too many levels of symbolic links"},
#endif
    };
    for (const auto& [path, error] : cases) {
        SCOPED_TRACE(path);
        Loaded loaded;
        loaded.options.rdpWidth = 5;
        ReadStatus status = loadCatalogue(loaded.hosts, loaded.options, loaded.window, platformFileStore(), path);
        EXPECT_TRUE(loaded.hosts.empty());
        EXPECT_EQ(loaded.options.rdpWidth, 5);
        EXPECT_TRUE(loaded.window.moves.empty());
        if (error) {
            EXPECT_FALSE(status.opened);
            EXPECT_FALSE(status.missing);
            EXPECT_EQ(status.error, error);
        }
    }
}

// A failed save is reported once, with a reason, and leaves everything as it was.
TEST(CatalogueSave, AFailedSaveLeavesEverythingAsItWas)
{
    using Around = std::function<void(const std::string&, const std::function<void()>&)>;
    struct Fault {
        const char* what;
        const char* target;
        bool targetIsFolder;
        Around around;
        bool hardLinked = false;  // rewritten in place, over the old bytes
    };
    const Around asIs = [](const std::string&, const std::function<void()>& run) { run(); };
#ifndef _WIN32
    // Room for the old bytes, not the new.
    const Around fileSizeLimit = [](const std::string&, const std::function<void()>& run) {
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = 1000;
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limited);
        run();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    };
#endif
    const Fault faults[] = {
        {"target is a folder with a file in it", "quillbank.ini", true, asIs},
        {"folder does not exist", "gone/quillbank.ini", false, asIs},
#ifdef _WIN32
        {"target held open without sharing", "quillbank.ini", false,
         [](const std::string& path, const std::function<void()>& run) {
             HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(held, INVALID_HANDLE_VALUE);
             auto start = std::chrono::steady_clock::now();
             run();
             EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
             ::CloseHandle(held);
         }},
#else
        {"a write stops short", "quillbank.ini", false, fileSizeLimit},
        {"a rewrite in place stops short: the old bytes are put back", "quillbank.ini", false, fileSizeLimit, true},
#endif
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        TempFolder folder;
        const std::string path = folder.file(fault.target);
        if (fault.targetIsFolder)
            fs::create_directories(path);
        writeFile(fault.targetIsFolder ? path + "/keep.txt" : path, kOld);  // no-op when the folder is gone
        if (fault.hardLinked)
            fs::create_hard_link(path, folder.file("other.ini"));
        const auto namesBefore = folder.names();
        const HostCatalogue hosts = sampleCatalogue(50);  // well past the size limit above
        Saved result{true, {}};
        fault.around(path, [&] { result = save(path, hosts); });

        EXPECT_FALSE(result.saved);
        ASSERT_EQ(result.messages.size(), 1u);
        const std::string& message = result.messages[0];
        EXPECT_EQ(message.compare(0, kPrefix.size(), kPrefix), 0) << message;
        EXPECT_GT(message.size(), kPrefix.size()) << "no reason given";
        EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
        EXPECT_EQ(folder.names(), namesBefore);
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(readFile(path), kOld);
        }
    }
}

// The file before a save is kept beside it, one generation.
TEST(CatalogueSave, KeepsThePreviousFileAsTheBackup)
{
    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    const std::string backup = path + ".bak";
    FileStore& files = platformFileStore();
    std::string error;
    ASSERT_TRUE(files.replaceKeepingBackup(path, "one", error)) << error;
    EXPECT_EQ(folder.names(), std::set<std::string>{"quillbank.ini"}) << "nothing to keep yet";
    ASSERT_TRUE(files.replaceKeepingBackup(path, "two", error)) << error;
#ifdef _WIN32
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
#else
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
#endif
    ASSERT_TRUE(files.replaceKeepingBackup(path, "three", error)) << error;
    EXPECT_EQ(readFile(path), "three");
    EXPECT_EQ(readFile(backup), "two");
    EXPECT_EQ(folder.names(), (std::set<std::string>{"quillbank.ini", "quillbank.ini.bak"}));
#ifdef _WIN32
    EXPECT_TRUE(::GetFileAttributesA(backup.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    // Held by another program: the replace fails, the backup stays the one before.
    HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files.replaceKeepingBackup(path, "four", error));
    ::CloseHandle(held);
    // What the failed replace left behind is the next save's sweep's.
    files.removeLeftovers(path);
#else
    struct stat info {};
    ASSERT_EQ(::stat(backup.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    // Another name for the file: rewritten in place, where no backup is made.
    fs::create_hard_link(path, folder.file("other.ini"));
    EXPECT_TRUE(files.replaceKeepingBackup(path, "four", error)) << error;
    EXPECT_EQ(readFile(folder.file("other.ini")), "four");
    fs::remove(folder.file("other.ini"));
#endif
    EXPECT_EQ(readFile(backup), "two");
    EXPECT_EQ(folder.names(), (std::set<std::string>{"quillbank.ini", "quillbank.ini.bak"}));
}

#ifndef _WIN32
// A save through a link keeps the link, and the file's owner and mode.
// (Other names of the file: the backup test.)
TEST(CatalogueSavePosix, KeepsWhatTheFileIs)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give files to another user";
    HostCatalogue hosts = sampleCatalogue();
    TempFolder folder;
    writeFile(folder.file("quillbank.ini"), kOld);
    ASSERT_EQ(::chmod(folder.file("quillbank.ini").c_str(), 0640), 0);
    ASSERT_EQ(::chown(folder.file("quillbank.ini").c_str(), 65534, 65534), 0);
    const std::string path = folder.file("link.ini");
    fs::create_symlink("quillbank.ini", path);
    const auto names = folder.names();
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    EXPECT_TRUE(save(path, hosts).saved);
    EXPECT_EQ(folder.names(), names) << "a file left behind or a link replaced";
    EXPECT_TRUE(fs::is_symlink(path));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(std::make_pair(after.st_uid, after.st_mode), std::make_pair(before.st_uid, before.st_mode));
    EXPECT_EQ(readFile(path), formatCatalogue(hosts, AppOptions{}, 0, 0));
}

#endif

#ifdef _WIN32
TEST(CatalogueSaveWin32, KeepsTheFilesAttributes)
{
    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    HostCatalogue hosts = sampleCatalogue();
    writeFile(path, kOld);
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(save(path, hosts).messages.empty());
    EXPECT_EQ(readFile(path), formatCatalogue(hosts, AppOptions{}, 0, 0));
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    EXPECT_EQ(::GetFileAttributesA(path.c_str()) & kept, kept);
    EXPECT_EQ(folder.names(), std::set<std::string>{"quillbank.ini"});
}

// Another program holding the file for a moment: the read waits for it.
TEST(CatalogueLoadWin32, AFileHeldForAMomentIsReadOnceFree)
{
    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    writeFile(path, kOld);
    HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        ::Sleep(300);
        ::CloseHandle(held);
    });
    Loaded loaded;
    ReadStatus status = loadCatalogue(loaded.hosts, loaded.options, loaded.window, platformFileStore(), path);
    release.join();
    EXPECT_TRUE(status.whole()) << status.error;
    EXPECT_EQ(loaded.hosts.size(), 1u);
}
#endif
