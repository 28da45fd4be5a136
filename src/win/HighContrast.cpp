#include "win/HighContrast.h"

namespace win {

namespace {

bool systemHighContrast()
{
    HIGHCONTRASTA settings{};
    settings.cbSize = sizeof settings;
    return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof settings, &settings, 0) &&
           (settings.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HighContrastQuery& currentQuery()
{
    static HighContrastQuery query = systemHighContrast;
    return query;
}

}  // namespace

bool highContrast()
{
    return currentQuery()();
}

HighContrastQuery replaceHighContrastQuery(HighContrastQuery query)
{
    const HighContrastQuery previous = currentQuery();
    currentQuery() = query ? query : systemHighContrast;
    return previous;
}

}  // namespace win
