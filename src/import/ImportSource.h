// What every import source hands back: the hosts as the source gives them,
// before any rule (duplicates, names, defaults) is applied, and the warnings
// met while reading. Sources fill these; src/import/ImportRules decides.
#pragma once

#include <string>
#include <vector>

namespace qb {

struct ImportCandidate {  // one host as a source gives it
    std::string title, hostName;
    int icon = -1;           // -1: the source has none
    long colour = -1;        // COLORREF or -1
    std::string origin;      // where it came from, for messages (a DN, a line number)
    std::string skipReason;  // set by the source: "disabled", "no name"; else empty
};

struct ImportRead {
    std::vector<ImportCandidate> hosts;
    std::vector<std::string> warnings;
};

}  // namespace qb
