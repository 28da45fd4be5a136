#include "editors/EntryRows.h"

namespace qb {

const std::array<EntryColumn, kEntryColumnCount> kEntryColumns = {{
    {"Name", 125},
    {"Command", 200},
    {"Parameters", 250},
    {"Confirm", 50},
    {"Bold", 50},
}};

namespace {

const char* yesNo(bool value)
{
    return value ? "Yes" : "No";
}

}  // namespace

EntryRow entryRow(const CommandEntry& entry)
{
    EntryRow row;
    switch (entry.kind) {
    case CustomCommand:
        row.cells = {entry.name, entry.program, entry.params, yesNo(entry.confirm), yesNo(entry.bold)};
        row.hasImage = true;
        break;
    case WindowsTemplate:
        row.cells = {"* Windows *", entry.templateHost, entry.drives, "", ""};
        row.hasImage = true;
        break;
    case Separator:
        // Dash runs sized to fill each column at its default width.
        row.cells = {std::string(23, '-'), std::string(47, '-'), std::string(57, '-'), std::string(8, '-'),
                     std::string(8, '-')};
        break;
    case Url:
        row.cells = {entry.urlName, entry.url, entry.alternateBrowser ? "Alternate Browser" : "Default Browser", "",
                     ""};
        row.hasImage = true;
        break;
    default:
        // A kind value outside the four shows an empty row.
        break;
    }
    if (row.hasImage)
        row.image = entry.icon;
    return row;
}

std::vector<EntryRow> entryRows(const EntryList& entries)
{
    std::vector<EntryRow> rows;
    rows.reserve(entries.size());
    for (EntryView entry : entries)
        rows.push_back(entryRow(entry.toEntry()));
    return rows;
}

}  // namespace qb
