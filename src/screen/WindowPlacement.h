// Where the main window goes at start for the position saved last time: a
// monitor may have been removed since, and a window left on no monitor can
// neither be seen nor dragged back.
#pragma once

#include <cstdint>
#include <vector>

namespace qb {

struct ScreenRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct ScreenPoint {
    int32_t x = 0, y = 0;
    bool operator==(const ScreenPoint& other) const { return x == other.x && y == other.y; }
};

struct MonitorArea {
    ScreenRect monitor;  // the whole monitor, in screen coordinates
    ScreenRect work;     // without task bars and docked bars
};

// The top-left corner for a window of this size saved at `saved`. A window
// that overlaps any monitor stays where it was saved, negative coordinates
// included (monitors left of or above the primary one). Otherwise it moves
// into the work area of the nearest monitor, as far as it fits; with no
// monitors at all it stays.
ScreenPoint placeOnMonitors(ScreenPoint saved, int32_t width, int32_t height, const std::vector<MonitorArea>& monitors);

// The top-left corner of a dialog of this size centred on the work area. One
// larger than the area keeps its caption on it, close box included: its top
// edge and its right edge stay on the area, and what does not fit goes off
// the left and the bottom.
ScreenPoint centreOnWorkArea(int32_t width, int32_t height, const ScreenRect& work);

// The main window's height for its rows at `dpi`: outer height n * h + 25
// and list height n * h + 2 (both extras at 96 DPI, scaled) while the n rows
// fit the work area; otherwise as many whole rows as fit (at least one), the
// list scrolling, and the window moved up when its bottom would leave the
// work area. A field of `fieldHeight` above the list (in pixels at `dpi`)
// makes the window that much taller, as far as the work area allows; a
// window already at its capped height keeps it, the list giving the field
// its room.
struct ListFit {
    int32_t shownRows = 0;
    int32_t outerHeight = 0;
    int32_t listHeight = 0;
    bool scrolls = false;
    int32_t top = 0;  // the window's outer top edge
};
constexpr int32_t kWindowExtraHeight = 25;
constexpr int32_t kListExtraHeight = 2;
ListFit fitRowsToWorkArea(int32_t rows, int32_t rowHeight, int32_t windowTop, const ScreenRect& work, int32_t dpi,
                          int32_t fieldHeight = 0);

}  // namespace qb
