#include "app/HostRows.h"

#include <algorithm>

namespace qb {

std::vector<HostRow> sortedHostRows(const HostCatalogue& hosts)
{
    std::vector<HostRow> rows;
    rows.reserve(hosts.size());
    for (const auto& host : hosts) {
        rows.push_back(HostRow{hostDisplayText(*host), host->icon, host.get()});
    }
    // std::string compares as unsigned bytes (char_traits<char>::compare),
    // so text in the upper half of the code page sorts after ASCII.
    std::stable_sort(rows.begin(), rows.end(), [](const HostRow& a, const HostRow& b) { return a.text < b.text; });
    return rows;
}

}  // namespace qb
