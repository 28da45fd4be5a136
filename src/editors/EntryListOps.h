// Delete, Up and Down on a host's entries, with the row each leaves selected.
#pragma once

#include "catalogue/HostRecords.h"

#include <optional>

namespace qb {

constexpr int kNoRow = -1;

struct EntryListChange {
    bool changed = false;  // false: nothing happened, keep the list as it is
    int select = kNoRow;   // the row to select afterwards, kNoRow for none
};

// Removes and destroys entry `row`; selects the same index while rows remain
// there, else the new last row, else nothing.
EntryListChange deleteEntry(EntryList& entries, int row);

// Exchange the contents of two neighbours; nothing on the first (Up) or the
// last (Down) row, or without a valid selection.
EntryListChange moveEntryUp(EntryList& entries, int row);
EntryListChange moveEntryDown(EntryList& entries, int row);

// A copy of the entry at a 0-based position, or nothing when there is none.
std::optional<CommandEntry> entryAt(const EntryList& entries, int row);

}  // namespace qb
