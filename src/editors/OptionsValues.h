// The options as the Options dialog exchanges them: a check box state and
// three texts, the two sizes written with "%i" and read back as atoi reads
// them (saturating instead of overflowing).
#pragma once

#include "catalogue/HostRecords.h"

#include <string>

namespace qb {

struct OptionsForm {
    bool hideTaskbarButton = false;
    std::string alternateBrowserText;
    std::string rdpWidthText;
    std::string rdpHeightText;
    // The hotkey control's value (0: none). Not an option of the catalogue:
    // the user's own, kept per user.
    uint32_t hotkey = 0;
};

OptionsForm optionsToForm(const AppOptions& options);

// Takes an accepted form back. A size without digits becomes 0 here; the
// file's reader turns a stored 0 into the default at the next start.
void applyOptionsForm(const OptionsForm& form, AppOptions& options);

}  // namespace qb
