// Moved below the framework; kept only until the main window's files include
// screen/WindowPlacement.h themselves.
#pragma once

#include "screen/WindowPlacement.h"
