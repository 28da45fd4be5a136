#include "import/ImportRules.h"

#include "import/ImportText.h"
#include "launch/WindowsTools.h"

#include <algorithm>

namespace qb {

const char* const kSkipDuplicate = "duplicate";
const char* const kSkipDisabled = "disabled";
const char* const kSkipNoName = "no name";
const char* const kSkipInvalidName = "invalid name";

namespace {

constexpr int32_t kHighestIcon = 119;

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view portOf(std::string_view name)
{
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(colon);
}

std::string_view firstLabel(std::string_view name)
{
    return name.substr(0, name.find('.'));
}

bool duplicateOf(std::string_view name, const std::vector<std::string_view>& known)
{
    return std::any_of(known.begin(), known.end(), [&](std::string_view other) { return sameHostName(name, other); });
}

// The host name where the source gives no title. A line break or '<' would
// end the host's line or its title in the file.
std::string importedTitle(const ImportCandidate& candidate)
{
    std::string title = candidate.title.empty() ? candidate.hostName : candidate.title;
    std::replace_if(
        title.begin(), title.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    std::replace(title.begin(), title.end(), '<', '(');
    return title;
}

}  // namespace

bool isValidHostName(std::string_view name)
{
    std::string_view host = withoutPort(name);
    if (host.empty() || !std::all_of(host.begin(), host.end(), isNameCharacter))
        return false;
    if (host.size() == name.size())
        return true;
    std::string_view port = name.substr(host.size() + 1);
    return !port.empty() && port.size() <= 5 &&
           std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view withoutPort(std::string_view name)
{
    return name.substr(0, name.find(':'));
}

bool sameHostName(std::string_view a, std::string_view b)
{
    if (!equalNoCase(portOf(a), portOf(b)))
        return false;
    a = withoutPort(a);
    b = withoutPort(b);
    if (equalNoCase(a, b))
        return true;
    bool aShort = a.find('.') == std::string_view::npos;
    bool bShort = b.find('.') == std::string_view::npos;
    return aShort != bShort && equalNoCase(firstLabel(a), firstLabel(b));
}

std::vector<ImportItem> planImport(const HostCatalogue& catalogue, const std::vector<ImportCandidate>& candidates)
{
    std::vector<std::string_view> known;
    known.reserve(catalogue.size() + candidates.size());
    for (const auto& host : catalogue)
        known.push_back(host->hostName);
    std::vector<ImportItem> items;
    items.reserve(candidates.size());
    for (const ImportCandidate& candidate : candidates)
        items.push_back({candidate, candidate.skipReason});
    for (ImportItem& item : items) {
        const std::string& name = item.candidate.hostName;
        if (!item.reason.empty())
            continue;
        if (name.empty())
            item.reason = kSkipNoName;
        else if (!isValidHostName(name))
            item.reason = kSkipInvalidName;
        else if (duplicateOf(name, known))
            item.reason = kSkipDuplicate;
        else
            known.push_back(name);
    }
    return items;
}

std::unique_ptr<HostItem> importedHost(const ImportCandidate& candidate, const ImportOptions& options)
{
    auto host = newHost();
    host->title = importedTitle(candidate);
    host->hostName = candidate.hostName;
    host->icon = candidate.icon >= 0 && candidate.icon <= kHighestIcon ? candidate.icon : options.icon;
    host->colour =
        candidate.colour >= 0 && candidate.colour <= 0xFFFFFF ? static_cast<int32_t>(candidate.colour) : kNoColour;
    if (options.windowsTemplate) {
        CommandEntry entry;
        entry.kind = WindowsTemplate;
        entry.templateHost = std::string(withoutPort(candidate.hostName));
        entry.drives = "C$";
        entry.icon = kIconRemoteDesktop;
        host->entries.push_back(entry);
    }
    return host;
}

bool mayImport(const ImportItem& item)
{
    return item.reason != kSkipNoName && item.reason != kSkipInvalidName && isValidHostName(item.candidate.hostName);
}

size_t appendImported(HostCatalogue& catalogue, const std::vector<ImportItem>& items, const std::vector<bool>& chosen,
                      const ImportOptions& options)
{
    size_t added = 0;
    for (size_t i = 0; i < items.size() && i < chosen.size(); ++i) {
        if (chosen[i] && mayImport(items[i])) {
            catalogue.push_back(importedHost(items[i].candidate, options));
            ++added;
        }
    }
    return added;
}

nlohmann::ordered_json importResultJson(const std::vector<ImportItem>& items)
{
    nlohmann::ordered_json added = nlohmann::ordered_json::array();
    nlohmann::ordered_json skipped = nlohmann::ordered_json::array();
    for (const ImportItem& item : items) {
        std::string title = ansiToUtf8(importedTitle(item.candidate));
        if (item.reason.empty())
            added.push_back(title);
        else
            skipped.push_back({{"title", title}, {"reason", item.reason}});
    }
    return {{"added", std::move(added)}, {"skipped", std::move(skipped)}};
}

}  // namespace qb
