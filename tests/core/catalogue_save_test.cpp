#include "catalogue/CatalogueFile.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

using namespace qb;
using namespace qbtest;
namespace fs = std::filesystem;

namespace {

const std::string kPrefix = "Unable to save quillbank.ini: ";
const std::string kOld = "<X>1<Y>2<BROWSER>b<RDPX>3<RPDY>4<END>\r\n<ITEM>old<HOST>h<ICON>0<COL>-1\r\n";

class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = fs::temp_directory_path() / ("qb-cat-" + std::to_string(stamp) + "-" + std::to_string(++counter));
        fs::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::set<std::string> names() const
    {
        std::set<std::string> result;
        for (const auto& item : fs::directory_iterator(m_path))
            result.insert(item.path().filename().string());
        return result;
    }

private:
    fs::path m_path;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

HostCatalogue sampleCatalogue(int hosts = 2)
{
    HostCatalogue catalogue;
    for (int i = 0; i < hosts; ++i) {
        catalogue.push_back(host("Host " + std::to_string(i), "pc" + std::to_string(i), i, i ? -1 : 255));
        catalogue.back()->entries.push_back(command("Console", "cmd.exe", "/k ping %HOST%", 5, false, true));
        catalogue.back()->entries.push_back(url("%HOST%/status", "Status page", true, 12));
    }
    return catalogue;
}

class FailingStore final : public FileStore {
public:
    explicit FailingStore(std::string reason) : m_reason(std::move(reason)) {}
    FileReadResult readAll(const std::string&) override { return {}; }
    bool replaceAll(const std::string& path, std::string_view bytes, std::string& error) override
    {
        lastPath = path;
        lastBytes = bytes;
        error = m_reason;
        return false;
    }
    std::string lastPath;
    std::string lastBytes;

private:
    std::string m_reason;
};

std::vector<std::string> save(const std::string& path, const HostCatalogue& hosts, RecordingWindow& window,
                              bool& saved, FileStore& files = platformFileStore())
{
    std::vector<std::string> messages;
    saved = saveCatalogue(hosts, AppOptions{}, window, [&](const std::string& m) { messages.push_back(m); }, files,
                          path);
    return messages;
}

}  // namespace

TEST(CatalogueSave, ReportsAFailureInTheFixedWords)
{
    const std::pair<std::string, std::string> cases[] = {
        {"quillbank.ini", "Disk full"},
        {"/var/lib/x/quillbank.ini", "Permission denied"},
        {"C:\\Users\\a\\quillbank.ini", "Access denied"},
        {"quillbank.ini", std::string(400, 'r')},
    };
    HostCatalogue hosts = sampleCatalogue();
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        FailingStore store(reason);
        RecordingWindow window;
        window.left = -1200;
        window.top = 100;
        bool saved = true;
        auto messages = save(path, hosts, window, saved, store);
        EXPECT_FALSE(saved);
        EXPECT_EQ(messages, std::vector<std::string>{kPrefix + reason.substr(0, 255)});
        EXPECT_EQ(store.lastPath, path);
        // The position comes from the window at the moment of saving.
        EXPECT_EQ(store.lastBytes, formatCatalogue(hosts, AppOptions{}, -1200, 100));
    }
}

TEST(CatalogueSave, ReplacesTheFileWholeAndReadsItBack)
{
    TempFolder folder;
    const std::string path = folder.file("quillbank.ini");
    writeFile(path, std::string(100000, 'o'));  // longer than what replaces it
    HostCatalogue hosts = sampleCatalogue();
    RecordingWindow window;
    window.left = 40;
    bool saved = false;
    EXPECT_TRUE(save(path, hosts, window, saved).empty());
    EXPECT_TRUE(saved);
    EXPECT_EQ(readFile(path), formatCatalogue(hosts, AppOptions{}, 40, 0));
    EXPECT_EQ(folder.names(), std::set<std::string>{"quillbank.ini"});

    Loaded loaded;
    loadCatalogue(loaded.hosts, loaded.options, loaded.window, platformFileStore(), path);
    EXPECT_EQ(formatCatalogue(loaded.hosts, loaded.options, 40, 0), readFile(path));
}

TEST(CatalogueLoad, AFileThatCannotBeOpenedChangesNothing)
{
    TempFolder folder;
    fs::create_directories(folder.file("adir"));
    for (const std::string& path : {folder.file("missing.ini"), folder.file("adir"), folder.file("no/x.ini")}) {
        SCOPED_TRACE(path);
        Loaded loaded;
        loaded.options.rdpWidth = 5;
        loadCatalogue(loaded.hosts, loaded.options, loaded.window, platformFileStore(), path);
        EXPECT_TRUE(loaded.hosts.empty());
        EXPECT_EQ(loaded.options.rdpWidth, 5);
        EXPECT_TRUE(loaded.window.moves.empty());
    }
}

// Every way a save can fail: reported once in the fixed words with a reason,
// the old file (or folder) untouched, nothing left behind.
TEST(CatalogueSave, AFailedSaveLeavesEverythingAsItWas)
{
    struct Fault {
        const char* what;
        const char* target;
        std::function<void(const TempFolder&)> arrange;
        std::function<void(const std::string&, const std::function<void()>&)> around;
    };
    auto asIs = [](const std::string&, const std::function<void()>& run) { run(); };
    std::vector<Fault> faults = {
        {"target is a folder with a file in it", "quillbank.ini",
         [](const TempFolder& f) {
             fs::create_directories(f.file("quillbank.ini"));
             writeFile(f.file("quillbank.ini/keep.txt"), kOld);
         },
         asIs},
        {"folder does not exist", "gone/quillbank.ini", [](const TempFolder&) {}, asIs},
#ifdef _WIN32
        {"target held open without sharing", "quillbank.ini",
         [](const TempFolder& f) { writeFile(f.file("quillbank.ini"), kOld); },
         [](const std::string& path, const std::function<void()>& run) {
             HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(held, INVALID_HANDLE_VALUE);
             Loaded loaded;
             loadCatalogue(loaded.hosts, loaded.options, loaded.window, platformFileStore(), path);
             EXPECT_TRUE(loaded.hosts.empty()) << "a held file loads as missing";
             auto start = std::chrono::steady_clock::now();
             run();
             EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
             ::CloseHandle(held);
         }},
        {"read-only target", "quillbank.ini",
         [](const TempFolder& f) { writeFile(f.file("quillbank.ini"), kOld); },
         [](const std::string& path, const std::function<void()>& run) {
             ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
             run();
             ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
         }},
#else
        {"a write stops short (file size limit)", "quillbank.ini",
         [](const TempFolder& f) { writeFile(f.file("quillbank.ini"), kOld); },
         [](const std::string&, const std::function<void()>& run) {
             rlimit saved{};
             ::getrlimit(RLIMIT_FSIZE, &saved);
             rlimit limited = saved;
             limited.rlim_cur = 1000;
             auto previous = std::signal(SIGXFSZ, SIG_IGN);
             ::setrlimit(RLIMIT_FSIZE, &limited);
             run();
             ::setrlimit(RLIMIT_FSIZE, &saved);
             std::signal(SIGXFSZ, previous);
         }},
#endif
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        TempFolder folder;
        fault.arrange(folder);
        const std::string path = folder.file(fault.target);
        const std::string before = fs::is_regular_file(path) ? readFile(path) : "";
        const auto namesBefore = folder.names();
        HostCatalogue hosts = sampleCatalogue(50);  // well past the size limit above
        RecordingWindow window;
        bool saved = true;
        std::vector<std::string> messages;
        fault.around(path, [&] { messages = save(path, hosts, window, saved); });

        EXPECT_FALSE(saved);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].compare(0, kPrefix.size(), kPrefix), 0) << messages[0];
        EXPECT_GT(messages[0].size(), kPrefix.size()) << "no reason given";
        EXPECT_EQ(messages[0].find_first_of("\r\n"), std::string::npos) << messages[0];
        EXPECT_EQ(folder.names(), namesBefore);
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(readFile(path), before);
        }
        EXPECT_EQ(hosts.size(), 50u);
    }
}
