#include "editors/EntryListOps.h"

namespace qb {

namespace {

bool validRow(const EntryList& entries, int row)
{
    return row >= 0 && static_cast<size_t>(row) < entries.size();
}

}  // namespace

std::optional<CommandEntry> entryAt(const EntryList& entries, int row)
{
    if (!validRow(entries, row))
        return std::nullopt;
    return entries[static_cast<size_t>(row)].toEntry();
}

EntryListChange deleteEntry(EntryList& entries, int row)
{
    EntryListChange change;
    if (!validRow(entries, row))
        return change;
    entries.erase(static_cast<size_t>(row));
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
    entries.swap(static_cast<size_t>(row) - 1, static_cast<size_t>(row));
    change.changed = true;
    change.select = row - 1;
    return change;
}

EntryListChange moveEntryDown(EntryList& entries, int row)
{
    EntryListChange change;
    if (!validRow(entries, row) || static_cast<size_t>(row) + 1 >= entries.size())
        return change;
    entries.swap(static_cast<size_t>(row), static_cast<size_t>(row) + 1);
    change.changed = true;
    change.select = row + 1;
    return change;
}

}  // namespace qb
