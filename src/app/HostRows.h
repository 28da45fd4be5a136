// The rows of the main window's host list, as data with no window in it:
// which host each row stands for, in the order the list presents them, and
// what a row shows. The list itself keeps no rows (owner data): it asks for
// the count and for each row it draws, so a view that shows fewer rows (a
// filter) changes the count and the hosts behind the row numbers, nothing
// in the list.
#pragma once

#include "app/HostFilter.h"
#include "catalogue/HostRecords.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

// What one row shows: the title, the row's own colour (none: the list's
// background) and the icon.
struct HostRow {
    std::string_view title;
    std::optional<int32_t> colour;
    int32_t icon = 0;
};

// A host's row. A title holding "||" of its own is shown as the display
// text reads: cut there, on the colour its text after the bars gives.
HostRow hostRow(const HostItem& host);

class HostRows
{
public:
    // One row per host, in ascending byte order of the display text; hosts
    // with equal texts keep their catalogue order. The list control is not
    // trusted to sort (an owner-drawn list on some platforms keeps
    // insertion order). The hosts stay the catalogue's; the rows are valid
    // until it changes and the rows are rebuilt.
    void rebuild(const HostCatalogue& hosts);
    // Lets the memory go too: the rows of a closing window are not rebuilt.
    void clear();

    // Only the rows of the hosts that `text` finds (HostFilter), in their
    // order; every row for text without words. It holds over rebuilds until
    // showAll().
    void filter(std::string_view text, const CaseTable& fold);
    void showAll();
    bool filtered() const { return m_filter.has_value(); }

    // The rows shown; every row, found or not.
    int count() const { return static_cast<int>(m_filter ? m_shown.size() : m_hosts.size()); }
    int allCount() const { return static_cast<int>(m_hosts.size()); }
    // The host of a row, or null for a row that does not exist.
    HostItem* host(int row) const;
    // The row of a host, or -1.
    int rowOf(const HostItem* host) const;
    // Only for a row that exists.
    HostRow row(int row) const { return hostRow(*host(row)); }

private:
    void applyFilter();

    std::vector<HostItem*> m_hosts;
    std::optional<HostFilter> m_filter;
    std::string m_filterText;
    // While filtered: the rows shown, as positions in m_hosts.
    std::vector<int> m_shown;
};

}  // namespace qb
