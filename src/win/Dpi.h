// The display scale of a window. The functions that answer per window or
// per monitor exist only on newer Windows; they are looked up at run time,
// and without them every window has the system's DPI (Windows 7, Wine).
#pragma once

#include <windows.h>

namespace win {

// The DPI every window has when the system knows no other (96 at 100 %).
UINT systemDpi();
// The DPI of the monitor the window is on, as the window sees it.
UINT dpiForWindow(HWND window);
// GetSystemMetrics at `dpi`.
int metricForDpi(int index, UINT dpi);
// The non-client metrics (fonts of captions, menus, messages) at `dpi`.
NONCLIENTMETRICSW nonClientMetricsForDpi(UINT dpi);
// A font's height (LOGFONT's lfHeight) at another DPI. Through its point
// size, as the dialog manager makes fonts, so that a change of scale and
// back gives the height it started with.
LONG fontHeightForDpi(LONG height, UINT from, UINT to);

// The work area of the monitor the window is on (or nearest to); the
// primary monitor's when the system cannot tell.
RECT workAreaOf(HWND window);

}  // namespace win
