#include "app/win32/HostListRows.h"

#include "app/HostRows.h"

void HostListRows::Rebuild(const qb::HostCatalogue& hosts)
{
    m_hosts = qb::sortedHostRows(hosts);
}

void HostListRows::Clear()
{
    std::vector<qb::HostItem*>().swap(m_hosts);
}

qb::HostItem* HostListRows::Host(int row) const
{
    return row >= 0 && row < Count() ? m_hosts[static_cast<size_t>(row)] : nullptr;
}

std::string HostListRows::RowText(int row) const
{
    const qb::HostItem* host = Host(row);
    return host ? qb::hostDisplayText(*host) : std::string();
}

int HostListRows::RowImage(int row) const
{
    const qb::HostItem* host = Host(row);
    return host ? host->icon : 0;
}
