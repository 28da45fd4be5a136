// Which of the entry editor's fields each entry kind uses, and how the four
// kind radio buttons map to a kind.
#pragma once

#include "catalogue/HostRecords.h"

#include <array>

namespace qb {

// The entry editor's fields that depend on the kind.
enum class EntryField {
    Name,
    Command,
    Params,
    Bold,
    Confirm,
    Icon,
    TemplateHost,
    Drives,
    Url,
    UrlName,
    AlternateBrowser,
};

struct KindField {
    EntryField field;
    // Enabled for CustomCommand, WindowsTemplate, Separator, Url (by kind value).
    std::array<bool, 4> enabledFor;
};

// Every field that the kind switches on or off; controls not listed
// (labels, OK, Cancel, the radio buttons) are never touched.
extern const std::array<KindField, 11> kKindFields;

bool fieldEnabled(EntryField field, EntryKind kind);

// The kind whose radio button is checked when an entry of this kind opens:
// an unknown kind edits as a custom command rather than with every radio off.
EntryKind radioKind(EntryKind kind);

struct KindRadios {
    bool custom = false;
    bool windowsTemplate = false;
    bool separator = false;
    bool url = false;
};

// The kind whose fields are enabled while the radios are in this state: the
// template, custom and separator radios are tested in that order, and the
// URL fields apply when none of them is on.
EntryKind kindForFields(const KindRadios& radios);

// The kind that OK returns: custom, template, separator, URL tested in that
// order with each one that is on overwriting; with none on, `current` stays.
EntryKind kindOnOk(const KindRadios& radios, EntryKind current);

}  // namespace qb
