// The rows of the main window's host list, as data: which host each row
// stands for, in the order the list presents them. A row's text and icon
// are read from its host when the row is shown.
#pragma once

#include "catalogue/HostRecords.h"

#include <vector>

namespace qb {

// One row per host, in ascending byte order of the display text; hosts with
// equal texts keep their catalogue order. The list control is not trusted to
// sort (an owner-drawn list on some platforms keeps insertion order). The
// hosts are not owned; they are valid while the catalogue holds them.
std::vector<HostItem*> sortedHostRows(const HostCatalogue& hosts);

}  // namespace qb
