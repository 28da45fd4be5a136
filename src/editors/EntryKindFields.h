// Which of the entry editor's controls each entry kind uses, and how the four
// kind radio buttons map to a kind. Control ids are the entry editor
// template's own.
#pragma once

#include "catalogue/HostRecords.h"

#include <array>

namespace qb {

namespace entry_ctl {
constexpr int kName = 1002;
constexpr int kParams = 1006;
constexpr int kCommand = 1042;
constexpr int kConfirm = 1043;
constexpr int kBold = 1049;
constexpr int kTemplateHost = 1057;
constexpr int kDrives = 1056;
constexpr int kAlternateBrowser = 1061;
constexpr int kUrl = 1004;
constexpr int kUrlName = 1063;
constexpr int kIcon = 1008;
constexpr int kRadioCustom = 1055;
constexpr int kRadioTemplate = 1054;
constexpr int kRadioSeparator = 1059;
constexpr int kRadioUrl = 1060;
}  // namespace entry_ctl

struct KindField {
    int controlId;
    // Enabled for CustomCommand, WindowsTemplate, Separator, Url (by kind value).
    std::array<bool, 4> enabledFor;
};

// Every control that the kind switches on or off; controls not listed
// (labels, OK, Cancel, the radio buttons) are never touched.
extern const std::array<KindField, 11> kKindFields;

bool fieldEnabled(int controlId, EntryKind kind);

// The radio button that shows a kind.
int radioForKind(EntryKind kind);

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
