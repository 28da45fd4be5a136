#include "editors/EntryKindFields.h"

namespace qb {

const std::array<KindField, 11> kKindFields = {{
    //                                custom template separator url
    {EntryField::Name, {true, false, false, false}},
    {EntryField::Command, {true, false, false, false}},
    {EntryField::Params, {true, false, false, false}},
    {EntryField::Bold, {true, false, false, false}},
    {EntryField::Confirm, {true, false, false, false}},
    {EntryField::Icon, {true, true, false, true}},
    {EntryField::TemplateHost, {false, true, false, false}},
    {EntryField::Drives, {false, true, false, false}},
    {EntryField::Url, {false, false, false, true}},
    {EntryField::UrlName, {false, false, false, true}},
    {EntryField::AlternateBrowser, {false, false, false, true}},
}};

bool fieldEnabled(EntryField field, EntryKind kind)
{
    if (kind < CustomCommand || kind > Url)
        return false;
    for (const KindField& row : kKindFields) {
        if (row.field == field)
            return row.enabledFor[static_cast<size_t>(kind)];
    }
    return false;
}

EntryKind radioKind(EntryKind kind)
{
    return kind >= CustomCommand && kind <= Url ? kind : CustomCommand;
}

EntryKind kindForFields(const KindRadios& radios)
{
    if (radios.windowsTemplate)
        return WindowsTemplate;
    if (radios.custom)
        return CustomCommand;
    if (radios.separator)
        return Separator;
    return Url;
}

EntryKind kindOnOk(const KindRadios& radios, EntryKind current)
{
    EntryKind kind = current;
    if (radios.custom)
        kind = CustomCommand;
    if (radios.windowsTemplate)
        kind = WindowsTemplate;
    if (radios.separator)
        kind = Separator;
    if (radios.url)
        kind = Url;
    return kind;
}

}  // namespace qb
