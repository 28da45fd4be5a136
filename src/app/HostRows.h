// The rows of the main window's host list, as data: what each row shows and
// which host it stands for, in the order the list presents them.
#pragma once

#include "catalogue/HostRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qb {

struct HostRow {
    std::string text;  // the host's display text ("title" or "title||colour")
    int32_t icon = 0;
    HostItem* host = nullptr;  // not owned; valid while the catalogue holds it
};

// One row per host, in ascending byte order of the display text; hosts with
// equal texts keep their catalogue order. The list control is not trusted to
// sort (an owner-drawn list on some platforms keeps insertion order).
std::vector<HostRow> sortedHostRows(const HostCatalogue& hosts);

}  // namespace qb
