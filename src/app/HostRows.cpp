#include "app/HostRows.h"

#include <algorithm>
#include <string>

namespace qb {

std::vector<HostItem*> sortedHostRows(const HostCatalogue& hosts)
{
    // The texts are made once for the sort and dropped with it: the rows
    // themselves hold nothing but their host.
    struct Keyed {
        std::string text;
        HostItem* host;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(hosts.size());
    for (const auto& host : hosts)
        keyed.push_back(Keyed{hostDisplayText(*host), host.get()});
    // std::string compares as unsigned bytes (char_traits<char>::compare),
    // so text in the upper half of the code page sorts after ASCII.
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.text < b.text; });
    std::vector<HostItem*> rows;
    rows.reserve(keyed.size());
    for (const Keyed& row : keyed)
        rows.push_back(row.host);
    return rows;
}

}  // namespace qb
