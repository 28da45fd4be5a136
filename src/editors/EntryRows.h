// What the host editor's entries list shows for each entry, as data, so the
// rules can be checked without a window.
#pragma once

#include "catalogue/HostRecords.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qb {

constexpr int kEntryColumnCount = 5;

struct EntryColumn {
    const char* heading;
    int width;  // pixels
};

// "Name", "Command", "Parameters", "Confirm", "Bold".
extern const std::array<EntryColumn, kEntryColumnCount> kEntryColumns;

struct EntryRow {
    std::array<std::string, kEntryColumnCount> cells;
    bool hasImage = false;  // separators show no image
    int32_t image = 0;      // the entry's icon index when hasImage
};

EntryRow entryRow(const CommandEntry& entry);
std::vector<EntryRow> entryRows(const EntryList& entries);

}  // namespace qb
