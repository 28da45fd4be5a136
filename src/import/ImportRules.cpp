#include "import/ImportRules.h"

#include "catalogue/TextRules.h"
#include "import/ImportText.h"
#include "launch/WindowsTools.h"

#include <algorithm>

namespace qb {

const char* const kSkipDuplicate = "duplicate";
const char* const kSkipDisabled = "disabled";
const char* const kSkipNoName = "no name";
const char* const kSkipInvalidName = "invalid name";

namespace {

constexpr size_t kLongestHostName = 253;
constexpr size_t kLongestLabel = 63;
constexpr long kHighestPort = 65535;

bool isLabelCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool isControl(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

std::string_view portOf(std::string_view name)
{
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(colon);
}

bool isShortName(std::string_view name)
{
    return withoutPort(name).find('.') == std::string_view::npos;
}

bool isValidPort(std::string_view port)
{
    if (port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    long number = std::stol(std::string(port));
    return number >= 1 && number <= kHighestPort;
}

// The host name where the source gives no title. Control characters (a NUL,
// a line break that would end the host's line) become blanks, and '<', which
// would end the title in the file, a '('.
std::string importedTitle(const ImportCandidate& candidate)
{
    std::string title = candidate.title.empty() ? candidate.hostName : candidate.title;
    std::replace_if(title.begin(), title.end(), isControl, ' ');
    std::replace(title.begin(), title.end(), '<', '(');
    return title;
}

}  // namespace

bool isValidHostName(std::string_view name)
{
    std::string_view host = withoutPort(name);
    if (host.size() != name.size() && !isValidPort(name.substr(host.size() + 1)))
        return false;
    if (host.size() > 1 && host.back() == '.')
        host.remove_suffix(1);  // the root of a fully qualified name
    if (host.empty() || host.size() > kLongestHostName || host.front() == '-')
        return false;
    for (size_t start = 0; start <= host.size();) {
        size_t end = std::min(host.find('.', start), host.size());
        std::string_view label = host.substr(start, end - start);
        if (label.empty() || label.size() > kLongestLabel || !std::all_of(label.begin(), label.end(), isLabelCharacter))
            return false;
        start = end + 1;
    }
    return true;
}

std::string_view withoutPort(std::string_view name)
{
    return name.substr(0, name.find(':'));
}

HostNameIndex::HostNameIndex(size_t expectedNames)
{
    m_names.reserve(expectedNames);
    m_firstLabels.reserve(expectedNames);
}

size_t HostNameIndex::KeyHash::operator()(const Key& key) const
{
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (std::string_view part : {key.host, key.port}) {
        for (char c : part)
            hash = (hash ^ static_cast<unsigned char>(asciiLower(c))) * 1099511628211ull;
    }
    return static_cast<size_t>(hash);
}

bool HostNameIndex::KeyEqual::operator()(const Key& a, const Key& b) const
{
    return equalsIgnoringCase(a.host, b.host) && equalsIgnoringCase(a.port, b.port);
}

void HostNameIndex::add(std::string_view name)
{
    std::string_view host = withoutPort(name);
    m_names.insert({host, portOf(name)});
    if (!isShortName(name))
        m_firstLabels.insert({host.substr(0, host.find('.')), portOf(name)});
}

bool HostNameIndex::contains(std::string_view name) const
{
    std::string_view host = withoutPort(name);
    if (m_names.count({host, portOf(name)}))
        return true;
    if (isShortName(name))
        return m_firstLabels.count({host, portOf(name)}) > 0;
    // A first label has no '.', so among the names it only meets short ones.
    return m_names.count({host.substr(0, host.find('.')), portOf(name)}) > 0;
}

bool sameHostName(std::string_view a, std::string_view b)
{
    HostNameIndex index;
    index.add(a);
    return index.contains(b);
}

std::vector<ImportItem> planImport(const HostCatalogue& catalogue, std::vector<ImportCandidate> candidates)
{
    HostNameIndex known(catalogue.size() + candidates.size());
    for (const auto& host : catalogue)
        known.add(host->hostName);
    std::vector<ImportItem> items;
    items.reserve(candidates.size());  // never moved: the index keeps views of their names
    for (ImportCandidate& candidate : candidates) {
        ImportItem& item = items.emplace_back(ImportItem{std::move(candidate), {}});
        item.reason = item.candidate.skipReason;
        item.candidate.title = importedTitle(item.candidate);
        const std::string& name = item.candidate.hostName;
        if (!item.reason.empty())
            continue;
        if (name.empty())
            item.reason = kSkipNoName;
        else if (!isValidHostName(name))
            item.reason = kSkipInvalidName;
        else if (known.contains(name))
            item.reason = kSkipDuplicate;
        else
            known.add(name);
    }
    return items;
}

std::unique_ptr<HostItem> importedHost(const ImportCandidate& candidate, const ImportOptions& options)
{
    auto host = newHost();
    host->title = importedTitle(candidate);
    host->hostName = candidate.hostName;
    host->icon = isIconIndex(candidate.icon) ? candidate.icon : options.icon;
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
