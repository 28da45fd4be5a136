// Whether the system asks for High Contrast, in which our own drawing uses
// system colours alone. Asked afresh at each drawing, so a switch shows at
// the next paint; dialogs repaint when the system announces one.
#pragma once

#include <windows.h>

namespace win {

// SPI_GETHIGHCONTRAST with HCF_HIGHCONTRASTON, unless a query is put in place.
bool highContrast();

// Puts `query` in the system's place (null: the system again) and returns the
// one it replaces. For tests: Wine always answers off and cannot be switched.
using HighContrastQuery = bool (*)();
HighContrastQuery replaceHighContrastQuery(HighContrastQuery query);

}  // namespace win
