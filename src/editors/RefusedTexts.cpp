#include "editors/RefusedTexts.h"

#include "catalogue/WritableText.h"
#include "editors/TemplateEntries.h"

#include <utility>

namespace qb {

namespace {

// The labels the editors show beside each field, without the colon.
template <class Record>
struct FieldLabel {
    std::string Record::*field;
    const char* label;
};

const FieldLabel<HostItem> kHostLabels[] = {
    {&HostItem::title, "Title"},
    {&HostItem::hostName, "Host"},
};

const FieldLabel<CommandEntry> kEntryLabels[] = {
    {&CommandEntry::name, "Name"},     {&CommandEntry::program, "Command"},
    {&CommandEntry::params, "Params"}, {&CommandEntry::templateHost, "Hostname"},
    {&CommandEntry::drives, "Drives"}, {&CommandEntry::url, "Address"},
    {&CommandEntry::urlName, "Name"},
};

std::string messageFor(const char* label, char character)
{
    const std::string field = std::string("The ") + label + " field";
    switch (character) {
    case 0: return field + " cannot be \"-\" alone: it would come back as a menu separator.";
    case '\r':
    case '\n': return field + " cannot hold a line break.";
    default: return field + " cannot hold the character \"" + character + "\".";
    }
}

template <class Record, size_t N>
std::optional<RefusedText<Record>> refused(const std::optional<UnwritableText<Record>>& found,
                                           const FieldLabel<Record> (&labels)[N])
{
    if (!found)
        return std::nullopt;
    for (const FieldLabel<Record>& row : labels) {
        if (row.field == found->field)
            return RefusedText<Record>{found->field, messageFor(row.label, found->character)};
    }
    return std::nullopt;
}

}  // namespace

std::optional<RefusedText<HostItem>> refuseHostText(const HostItem& host)
{
    return refused(findUnwritableText(host), kHostLabels);
}

std::optional<RefusedText<CommandEntry>> refuseEntryText(const CommandEntry& entry)
{
    return refused(findUnwritableText(entry), kEntryLabels);
}

std::optional<std::string> refuseOptionsText(const OptionsForm& form)
{
    AppOptions options;
    applyOptionsForm(form, options);
    if (std::optional<UnwritableText<AppOptions>> found = findUnwritableText(options))
        return messageFor("Alternate Browser", found->character);
    return std::nullopt;
}

std::optional<RefusedTemplateText> refuseTemplateTexts(const std::string& host, const std::string& drives)
{
    // Each text on its own, so that the message names the one at fault.
    const std::pair<bool, const char*> fields[] = {{true, "Hostname"}, {false, "Drives"}};
    for (const auto& [hostField, label] : fields) {
        EntryList entries;
        appendTemplateEntries(entries, hostField ? host : std::string(), hostField ? std::string() : drives, 0, 0);
        for (const auto& entry : entries) {
            if (std::optional<UnwritableText<CommandEntry>> found = findUnwritableText(entry.toEntry()))
                return RefusedTemplateText{hostField, messageFor(label, found->character)};
        }
    }
    return std::nullopt;
}

}  // namespace qb
