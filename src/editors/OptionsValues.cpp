#include "editors/OptionsValues.h"

#include "catalogue/TextRules.h"

namespace qb {

OptionsForm optionsToForm(const AppOptions& options)
{
    OptionsForm form;
    form.hideTaskbarButton = options.hideTaskbarButton;
    form.alternateBrowserText = options.alternateBrowserPath;
    form.rdpWidthText = formatNumber(options.rdpWidth);
    form.rdpHeightText = formatNumber(options.rdpHeight);
    return form;
}

void applyOptionsForm(const OptionsForm& form, AppOptions& options)
{
    options.hideTaskbarButton = form.hideTaskbarButton;
    options.alternateBrowserPath = form.alternateBrowserText;
    options.rdpWidth = readNumber(form.rdpWidthText);
    options.rdpHeight = readNumber(form.rdpHeightText);
}

}  // namespace qb
