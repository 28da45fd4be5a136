#include "catalogue/WritableText.h"

#include "catalogue/CatalogueLines.h"

namespace qb {

namespace {

template <class Record>
std::optional<UnwritableText<Record>> firstUnwritable(const LineLayout<Record>& layout, const Record& record)
{
    for (size_t i = 0; i < layout.fieldCount; ++i) {
        const TagField<Record>& field = layout.fields[i];
        if (field.kind != FieldKind::Text || !field.field)
            continue;
        if (std::optional<char> character = unwritableCharacter(layout, i, record.*field.field->text))
            return UnwritableText<Record>{field.field->text, *character};
    }
    return std::nullopt;
}

}  // namespace

std::optional<UnwritableText<HostItem>> findUnwritableText(const HostItem& host)
{
    return firstUnwritable(kHostLine, host);
}

std::optional<UnwritableText<CommandEntry>> findUnwritableText(const CommandEntry& entry)
{
    std::optional<UnwritableText<CommandEntry>> found;
    forEachEntryLine([&](auto line) {
        if (line.layout.entryKind == entry.kind && line.layout.fieldCount > 0 && !found)
            found = firstUnwritable(line.layout, entry);
    });
    if (!found && entry.kind == CustomCommand && entry.name == kSeparatorName)
        found = UnwritableText<CommandEntry>{&CommandEntry::name, 0};
    return found;
}

std::optional<UnwritableText<AppOptions>> findUnwritableText(const AppOptions& options)
{
    return firstUnwritable(kOptionsLine, options);
}

}  // namespace qb
