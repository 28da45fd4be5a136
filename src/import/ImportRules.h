// What happens to the hosts a source gives: which are skipped and why, and
// what an added host looks like in the catalogue. Every source and both
// fronts (the console companion and the window's dialog) go through these.
#pragma once

#include "catalogue/HostRecords.h"
#include "import/ImportSource.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qb {

// Skip reasons, as the result and the dialog show them.
extern const char* const kSkipDuplicate;
extern const char* const kSkipDisabled;
extern const char* const kSkipNoName;
extern const char* const kSkipInvalidName;

struct ImportOptions {
    int32_t icon = 0;              // for hosts whose source gives none
    bool windowsTemplate = false;  // one Windows template entry per host
};

// A host name is substituted into command lines unquoted, so only a DNS or
// NetBIOS name is let in: labels of 1 to 63 letters, digits, '-' and '_'
// joined by '.', at most 253 characters with an optional final '.', not
// starting with '-' (it would be read as an option), and an optional ":PORT"
// from 1 to 65535.
bool isValidHostName(std::string_view name);
std::string_view withoutPort(std::string_view name);
// Case-insensitive, and a short name equals a full name whose first label it
// is ("pc01" and "PC01.corp.example"): directories give full names where
// admins typed short ones. Ports must match.
bool sameHostName(std::string_view a, std::string_view b);

// The names added so far, looked up by sameHostName in constant time, so
// that an import of n hosts does not compare n * n pairs. It keeps views of
// the names, not copies: they must outlive it.
class HostNameIndex
{
public:
    explicit HostNameIndex(size_t expectedNames = 0);
    void add(std::string_view name);
    bool contains(std::string_view name) const;

private:
    // A name's host (or a full name's first label) and its port with the ':'.
    struct Key {
        std::string_view host, port;
    };
    // Both ignore the letters' case.
    struct KeyHash {
        size_t operator()(const Key& key) const;
    };
    struct KeyEqual {
        bool operator()(const Key& a, const Key& b) const;
    };
    using Keys = std::unordered_set<Key, KeyHash, KeyEqual>;

    Keys m_names;        // every name
    Keys m_firstLabels;  // of full names
};

struct ImportItem {
    ImportCandidate candidate;
    std::string reason;  // empty: to be added
};

// Each candidate in order with its fate: the source's own skip reason, then
// "no name", "invalid name", and "duplicate" of a catalogue host or of a
// candidate added before it. Titles are as importedHost will make them.
std::vector<ImportItem> planImport(const HostCatalogue& catalogue, std::vector<ImportCandidate> candidates);

// The catalogue host for a candidate: its icon or else the option's, its
// colour or else none, and with the option the Windows template entry for
// the name without its port (the real name, which confirmations show).
std::unique_ptr<HostItem> importedHost(const ImportCandidate& candidate, const ImportOptions& options);

// Whether the user may still choose a skipped host: a duplicate or a
// disabled account, yes; a host without a name fit for a command line, never.
bool mayImport(const ImportItem& item);

// Appends, in order, the hosts of the chosen items that may be imported
// (chosen[i] for items[i]); returns how many.
size_t appendImported(HostCatalogue& catalogue, const std::vector<ImportItem>& items, const std::vector<bool>& chosen,
                      const ImportOptions& options);

// {"added": [titles], "skipped": [{"title", "reason"}]}, text in UTF-8.
nlohmann::ordered_json importResultJson(const std::vector<ImportItem>& items);

}  // namespace qb
