// The main window's host list rows: the hosts in the order the list shows
// them, answering the list for the rows it draws. Nothing per row is kept
// beyond the host's address.
#pragma once

#include "catalogue/HostRecords.h"
#include "controls/ColourListCtrl.h"

#include <string>
#include <vector>

class HostListRows final : public ListRowSource
{
public:
    void Rebuild(const qb::HostCatalogue& hosts);
    // Lets the memory go too: the rows of a closing window are not rebuilt.
    void Clear();

    int Count() const { return static_cast<int>(m_hosts.size()); }
    // The host of a row, or null for a row that does not exist.
    qb::HostItem* Host(int row) const;

    std::string RowText(int row) const override;
    int RowImage(int row) const override;

private:
    std::vector<qb::HostItem*> m_hosts;
};
