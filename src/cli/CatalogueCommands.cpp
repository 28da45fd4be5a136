// dump, check and rewrite: the catalogue file read and written exactly as
// the program reads and writes it.
#include "cli/Commands.h"

#include "catalogue/CatalogueCheck.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue/FileStore.h"

#include <iostream>

namespace qb::cli {

namespace {

using Json = nlohmann::ordered_json;

const char* kindName(EntryKind kind)
{
    switch (kind) {
    case CustomCommand:
        return "CustomCommand";
    case WindowsTemplate:
        return "WindowsTemplate";
    case Separator:
        return "Separator";
    case Url:
        return "Url";
    }
    return "Unknown";
}

// Only the fields that the entry's kind uses: the others are not stored in
// the file, so showing them would suggest they are.
Json entryJson(const CommandEntry& entry)
{
    Json out;
    out["kind"] = kindName(entry.kind);
    switch (entry.kind) {
    case CustomCommand:
        out["name"] = ansiToUtf8(entry.name);
        out["program"] = ansiToUtf8(entry.program);
        out["params"] = ansiToUtf8(entry.params);
        out["icon"] = entry.icon;
        out["confirm"] = entry.confirm;
        out["bold"] = entry.bold;
        break;
    case WindowsTemplate:
        out["templateHost"] = ansiToUtf8(entry.templateHost);
        out["drives"] = ansiToUtf8(entry.drives);
        out["icon"] = entry.icon;
        break;
    case Separator:
        break;
    case Url:
        out["url"] = ansiToUtf8(entry.url);
        out["alternateBrowser"] = entry.alternateBrowser;
        out["urlName"] = ansiToUtf8(entry.urlName);
        out["icon"] = entry.icon;
        break;
    }
    return out;
}

Json optionsJson(const AppOptions& options)
{
    Json out;
    out["windowX"] = options.windowX ? Json(*options.windowX) : Json(nullptr);
    out["windowY"] = options.windowY ? Json(*options.windowY) : Json(nullptr);
    out["alternateBrowserPath"] = ansiToUtf8(options.alternateBrowserPath);
    out["rdpWidth"] = options.rdpWidth;
    out["rdpHeight"] = options.rdpHeight;
    out["hideTaskbarButton"] = options.hideTaskbarButton;
    return out;
}

Json hostJson(const HostItem& host)
{
    Json out;
    out["title"] = ansiToUtf8(host.title);
    out["hostName"] = ansiToUtf8(host.hostName);
    out["icon"] = host.icon;
    out["colour"] = host.colour;
    Json entries = Json::array();
    for (const auto& entry : host.entries)
        entries.push_back(entryJson(*entry));
    out["entries"] = std::move(entries);
    return out;
}

// Saving takes the window's position from the window; here it is the one
// the file was loaded with.
class FixedWindow final : public CatalogueWindow {
public:
    FixedWindow(int32_t x, int32_t y) : m_x(x), m_y(y) {}
    void moveTopLeftTo(int32_t, int32_t) override {}
    void dropTaskbarButton() override {}
    void currentTopLeft(int32_t& x, int32_t& y) override
    {
        x = m_x;
        y = m_y;
    }

private:
    int32_t m_x;
    int32_t m_y;
};

}  // namespace

int dumpCommand(const Args& args)
{
    std::string path = fileArgument(parseArgs(args), 0);
    LoadedCatalogue loaded = loadCatalogueFile(path);
    Json hosts = Json::array();
    for (const auto& host : loaded.hosts)
        hosts.push_back(hostJson(*host));
    Json out;
    out["options"] = optionsJson(loaded.options);
    out["hosts"] = std::move(hosts);
    printJson(out);
    return 0;
}

int checkCommand(const Args& args)
{
    std::string path = fileArgument(parseArgs(args), 0);
    LoadedCatalogue loaded = loadCatalogueFile(path);
    std::vector<CheckFinding> findings = checkCatalogue(loaded.bytes);
    for (const CheckFinding& finding : findings)
        std::cout << path << ':' << finding.line << ": " << finding.message << '\n';
    std::cout.flush();
    return findings.empty() ? 0 : 1;
}

int rewriteCommand(const Args& args)
{
    std::string path = fileArgument(parseArgs(args), 0);
    LoadedCatalogue loaded = loadCatalogueFile(path);
    FixedWindow window(loaded.options.windowX.value_or(0), loaded.options.windowY.value_or(0));
    std::string failure;
    bool saved = saveCatalogue(loaded.hosts, loaded.options, window,
                               [&failure](const std::string& message) { failure = message; },
                               platformFileStore(), path);
    if (!saved) {
        std::cerr << failure << '\n';
        return kExitError;
    }
    return 0;
}

}  // namespace qb::cli
