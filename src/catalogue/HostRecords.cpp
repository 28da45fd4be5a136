#include "catalogue/HostRecords.h"

#include "catalogue/FieldList.h"
#include "catalogue/TextRules.h"

namespace qb {

const char* const kDefaultAlternateBrowser = "c:\\Program Files\\Internet Explorer\\iexplore.exe";

void resetHost(HostItem& host)
{
    static const HostItem kNew;
    for (const RecordField<HostItem>& field : kHostFields)
        copyValue(field, kNew, host);
}

void resetEntry(CommandEntry& entry)
{
    entry = CommandEntry{};
}

void clearEntries(HostItem& host)
{
    host.entries.clear();
}

void copyHost(const HostItem& source, HostItem& target)
{
    // Copy the entries first: source and target may share nothing, but a
    // caller copying a host onto itself must not lose its entries.
    EntryList copies;
    copies.reserve(source.entries.size());
    for (const auto& entry : source.entries)
        copies.push_back(std::make_unique<CommandEntry>(*entry));
    clearEntries(target);
    target.entries = std::move(copies);
    for (const RecordField<HostItem>& field : kHostFields)
        copyValue(field, source, target);
}

std::unique_ptr<HostItem> duplicateHost(const HostItem& source)
{
    auto copy = newHost();
    copyHost(source, *copy);
    copy->colour = kNoColour;
    return copy;
}

std::unique_ptr<HostItem> newHost()
{
    auto host = std::make_unique<HostItem>();
    resetHost(*host);
    return host;
}

std::unique_ptr<CommandEntry> newEntry()
{
    return std::make_unique<CommandEntry>();
}

std::string hostDisplayText(const HostItem& host)
{
    if (host.colour == kNoColour)
        return host.title;
    return withBarNumber(host.title, host.colour);
}

}  // namespace qb
