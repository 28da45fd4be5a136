#include "editors/EntryListOps.h"

#include <utility>

namespace qb {

namespace {

bool validRow(const EntryList& entries, int row)
{
    return row >= 0 && static_cast<size_t>(row) < entries.size();
}

}  // namespace

CommandEntry* entryAt(const EntryList& entries, int row)
{
    return validRow(entries, row) ? entries[static_cast<size_t>(row)].get() : nullptr;
}

EntryListChange deleteEntry(EntryList& entries, int row)
{
    EntryListChange change;
    if (!validRow(entries, row))
        return change;
    entries.erase(entries.begin() + row);
    change.changed = true;
    const int remaining = static_cast<int>(entries.size());
    if (remaining > row)
        change.select = row;
    else if (remaining > 0)
        change.select = row - 1;
    return change;
}

EntryListChange moveEntryUp(EntryList& entries, int row)
{
    EntryListChange change;
    if (!validRow(entries, row) || row == 0)
        return change;
    std::swap(*entries[row - 1], *entries[row]);
    change.changed = true;
    change.select = row - 1;
    return change;
}

EntryListChange moveEntryDown(EntryList& entries, int row)
{
    EntryListChange change;
    if (!validRow(entries, row) || static_cast<size_t>(row) + 1 >= entries.size())
        return change;
    std::swap(*entries[row], *entries[row + 1]);
    change.changed = true;
    change.select = row + 1;
    return change;
}

}  // namespace qb
