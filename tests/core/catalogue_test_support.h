// Shared pieces of the catalogue tests.
#pragma once

#include "catalogue/CatalogueFile.h"
#include "fakes.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace qbtest {

// The platform's store, one for the whole run, as a program has one.
inline qb::FileStore& platformStore()
{
    static const std::unique_ptr<qb::FileStore> store = qb::makePlatformFileStore();
    return *store;
}

struct Loaded {
    qb::HostCatalogue hosts;
    qb::AppOptions options;
    RecordingWindow window;

    explicit Loaded(std::string_view bytes = {}, bool readError = false)
    {
        qb::parseCatalogue(bytes, hosts, options, window, readError);
    }
    std::string written() const { return qb::formatCatalogue(hosts, options, 0, 0); }
};

// a, b, c are the kind's text fields in file order; flag is CONFIRM or ALT.
inline qb::CommandEntry entry(qb::EntryKind kind, std::string a = {}, std::string b = {}, std::string c = {},
                              int32_t icon = 0, bool flag = false, bool bold = false)
{
    qb::CommandEntry made;
    made.kind = kind;
    made.icon = icon;
    if (kind == qb::CustomCommand)
        std::tie(made.name, made.program, made.params, made.confirm, made.bold) = std::tie(a, b, c, flag, bold);
    else if (kind == qb::WindowsTemplate)
        std::tie(made.templateHost, made.drives) = std::tie(a, b);
    else if (kind == qb::Url)
        std::tie(made.url, made.urlName, made.alternateBrowser) = std::tie(a, b, flag);
    return made;
}

// Custom commands of these names.
inline qb::EntryList namedEntries(std::initializer_list<const char*> names)
{
    qb::EntryList list;
    for (const char* name : names)
        list.push_back(entry(qb::CustomCommand, name));
    return list;
}

inline std::unique_ptr<qb::HostItem> host(std::string title, std::string hostName, int32_t icon, int32_t colour)
{
    auto item = qb::newHost();
    std::tie(item->title, item->hostName, item->icon, item->colour) = std::tie(title, hostName, icon, colour);
    return item;
}

// A host with one entry of every kind.
inline std::unique_ptr<qb::HostItem> mailHost()
{
    auto mail = host("Mail server", "mail01", 3, -1);
    mail->entries.push_back(entry(qb::CustomCommand, "Console", "cmd.exe", "/k ping %HOST%", 5, false, true));
    mail->entries.push_back(entry(qb::WindowsTemplate, "mail01", "c,d", "", 17));
    mail->entries.push_back(entry(qb::Separator));
    mail->entries.push_back(entry(qb::Url, "%HOST%/status", "Status page", "", 12));
    return mail;
}

// A fresh temporary folder, removed with all it holds.
struct TempFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("qb-test-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::set<std::string> names() const
    {
        std::set<std::string> result;
        for (const auto& item : std::filesystem::directory_iterator(path))
            result.insert(item.path().filename().string());
        return result;
    }
};

// A file of hosts with these titles (host name = title).
inline std::string fileOf(const std::vector<std::string>& titles, const qb::AppOptions& options = {})
{
    qb::HostCatalogue hosts;
    for (const std::string& title : titles)
        hosts.push_back(host(title, title, 0, -1));
    return qb::formatCatalogue(hosts, options, 0, 0);
}

inline std::vector<std::string> titlesOf(const qb::HostCatalogue& hosts)
{
    std::vector<std::string> out;
    for (const auto& item : hosts)
        out.push_back(item->title);
    return out;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace qbtest
