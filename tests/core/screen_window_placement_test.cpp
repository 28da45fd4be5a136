#include "screen/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qb;

namespace {

// A primary monitor with a bottom task bar; a second one to its left, bar at the top.
const MonitorArea kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
const MonitorArea kLeft{{-1280, 0, 0, 1024}, {-1280, 30, 0, 1024}};

}  // namespace

TEST(WindowPlacement, OnAMonitorStaysElseMovesIntoTheNearestWorkArea)
{
    const std::vector<MonitorArea> both{kPrimary, kLeft};
    const std::vector<MonitorArea> primaryOnly{kPrimary};
    const std::tuple<const char*, ScreenPoint, const std::vector<MonitorArea>*, ScreenPoint> cases[] = {
        {"negative, on the left monitor", {-1200, 100}, &both, {-1200, 100}},
        {"partly off the primary's edge", {1900, -20}, &primaryOnly, {1900, -20}},
        {"minimised position of old saves", {-32000, -32000}, &both, {-1280, 30}},
        {"below everything, nearest is the primary", {500, 5000}, &both, {500, 1040 - 300}},
        {"far past the 32-bit limits", {INT_MAX, INT_MIN}, &primaryOnly, {1920 - 150, 0}},
        {"no monitors known", {-5000, 7}, nullptr, {-5000, 7}},
    };
    const std::vector<MonitorArea> none;
    for (const auto& [name, saved, monitors, expected] : cases) {
        const ScreenPoint placed = placeOnMonitors(saved, 150, 300, monitors ? *monitors : none);
        EXPECT_EQ(std::make_pair(placed.x, placed.y), std::make_pair(expected.x, expected.y)) << name;
    }
    // Taller than the work area: its top edge, where the caption is, shows.
    const ScreenPoint tall = placeOnMonitors({3000, 3000}, 150, 2000, primaryOnly);
    EXPECT_EQ(tall.y, 0);
}

TEST(WindowPlacement, ADialogLargerThanTheWorkAreaKeepsItsCaptionAndCloseBoxOnIt)
{
    const ScreenRect screen{0, 0, 1280, 1024};
    const std::tuple<const char*, int32_t, int32_t, ScreenRect, ScreenPoint> cases[] = {
        {"the host editor at 144 DPI: close box at the right edge", 1301, 620, screen, {-21, 202}},
        {"taller: top edge on", 300, 1100, screen, {490, 0}},
        {"a left monitor with its bar at the top", 1400, 1200, kLeft.work, {-1400, 30}},
    };
    for (const auto& [name, width, height, work, expected] : cases)
        EXPECT_EQ(centreOnWorkArea(width, height, work), expected) << name;
}

TEST(WindowPlacement, TheWindowShowsWholeRowsWithinTheWorkArea)
{
    const ScreenRect work{0, 0, 1280, 1000};
    // Rows 17 high at 96 DPI (16-pixel icons), 18 at 120; a find field 23 high.
    const std::tuple<const char*, int32_t, int32_t, int32_t, int32_t, int32_t, ListFit> cases[] = {
        {"one more scrolls", 58, 0, 96, 17, 0, {57, 57 * 17 + 25, 57 * 17 + 2, true, 0}},
        {"fitting rows moved up too", 10, 900, 96, 17, 0, {10, 195, 172, false, 1000 - 195}},
        {"above the area stays", 3, -50, 96, 17, 0, {3, 76, 53, false, -50}},
        {"extras rounded at 120", 4, 0, 120, 18, 0, {4, 4 * 18 + 31, 4 * 18 + 3, false, 0}},
        {"a field makes it taller", 10, 0, 96, 17, 23, {10, 195 + 23, 172, false, 0}},
        {"a field grows it to the cap", 57, 0, 96, 17, 23, {56, 1000, 1000 - 23 - 25 + 2, true, 0}},
    };
    const auto fields = [](const ListFit& f) {
        return std::make_tuple(f.shownRows, f.outerHeight, f.listHeight, f.scrolls, f.top);
    };
    for (const auto& [name, rows, top, dpi, rowHeight, field, expected] : cases)
        EXPECT_EQ(fields(fitRowsToWorkArea(rows, rowHeight, top, work, dpi, field)), fields(expected)) << name;
    // A work area lower than one row still shows one, from its top.
    const ListFit tiny = fitRowsToWorkArea(5, 17, 300, {0, 200, 100, 230}, 96);
    EXPECT_EQ(tiny.shownRows, 1);
    EXPECT_EQ(tiny.top, 200);
}
