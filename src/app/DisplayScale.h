// Moved below the framework; kept only until the main window's files include
// screen/DisplayScale.h themselves.
#pragma once

#include "screen/DisplayScale.h"
