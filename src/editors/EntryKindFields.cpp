#include "editors/EntryKindFields.h"

namespace qb {

const std::array<KindField, 11> kKindFields = {{
    //                                custom template separator url
    {entry_ctl::kName,              {true, false, false, false}},
    {entry_ctl::kCommand,           {true, false, false, false}},
    {entry_ctl::kParams,            {true, false, false, false}},
    {entry_ctl::kBold,              {true, false, false, false}},
    {entry_ctl::kConfirm,           {true, false, false, false}},
    {entry_ctl::kIcon,              {true, true, false, true}},
    {entry_ctl::kTemplateHost,      {false, true, false, false}},
    {entry_ctl::kDrives,            {false, true, false, false}},
    {entry_ctl::kUrl,               {false, false, false, true}},
    {entry_ctl::kUrlName,           {false, false, false, true}},
    {entry_ctl::kAlternateBrowser,  {false, false, false, true}},
}};

bool fieldEnabled(int controlId, EntryKind kind)
{
    if (kind < CustomCommand || kind > Url)
        return false;
    for (const KindField& field : kKindFields) {
        if (field.controlId == controlId)
            return field.enabledFor[static_cast<size_t>(kind)];
    }
    return false;
}

int radioForKind(EntryKind kind)
{
    switch (kind) {
    case WindowsTemplate:
        return entry_ctl::kRadioTemplate;
    case Separator:
        return entry_ctl::kRadioSeparator;
    case Url:
        return entry_ctl::kRadioUrl;
    case CustomCommand:
    default:
        // An unknown kind edits as a custom command rather than with every
        // radio off.
        return entry_ctl::kRadioCustom;
    }
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
