#include "catalogue/HostRecords.h"

#include "catalogue/TextRules.h"

namespace qb {

const char* const kDefaultAlternateBrowser = "c:\\Program Files\\Internet Explorer\\iexplore.exe";

void resetHost(HostItem& host)
{
    host.title.clear();
    host.hostName.clear();
    host.icon = 0;
    host.colour = kNoColour;
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
    target.title = source.title;
    target.hostName = source.hostName;
    target.icon = source.icon;
    target.colour = source.colour;
}

std::unique_ptr<HostItem> duplicateHost(const HostItem& source)
{
    auto copy = newHost();
    copy->title = source.title;
    copy->hostName = source.hostName;
    copy->icon = source.icon;
    copy->entries.reserve(source.entries.size());
    for (const auto& entry : source.entries)
        copy->entries.push_back(std::make_unique<CommandEntry>(*entry));
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
