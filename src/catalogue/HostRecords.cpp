#include "catalogue/HostRecords.h"

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
    target.entries = source.entries;
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

std::string hostDisplayText(const HostItem& host)
{
    if (host.colour == kNoColour)
        return host.title;
    return withBarNumber(host.title, host.colour);
}

}  // namespace qb
