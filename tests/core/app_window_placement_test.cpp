#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qb;

namespace {

// A primary 1920 x 1080 monitor with a task bar at the bottom, and a second
// 1280 x 1024 one to its left with a bar at its top.
const MonitorArea kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
const MonitorArea kLeft{{-1280, 0, 0, 1024}, {-1280, 30, 0, 1024}};

}  // namespace

TEST(WindowPlacement, OnAMonitorStaysElseMovesIntoTheNearestWorkArea)
{
    const std::vector<MonitorArea> both{kPrimary, kLeft};
    const std::vector<MonitorArea> primaryOnly{kPrimary};
    struct Case {
        const char* name;
        ScreenPoint saved;
        const std::vector<MonitorArea>* monitors;
        ScreenPoint placed;
    };
    const Case cases[] = {
        {"on the primary", {200, 150}, &both, {200, 150}},
        {"negative, on the left monitor", {-1200, 100}, &both, {-1200, 100}},
        {"partly off the primary's edge", {1900, -20}, &primaryOnly, {1900, -20}},
        {"left monitor removed", {-1200, 100}, &primaryOnly, {0, 100}},
        {"minimised position of old saves", {-32000, -32000}, &both, {-1280, 30}},
        {"below everything, nearest is the primary", {500, 5000}, &both, {500, 1040 - 300}},
        {"right of everything", {4000, 500}, &both, {1920 - 150, 500}},
        {"far past the 32-bit limits", {INT_MAX, INT_MIN}, &primaryOnly, {1920 - 150, 0}},
        {"no monitors known", {-5000, 7}, nullptr, {-5000, 7}},
    };
    const std::vector<MonitorArea> none;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScreenPoint placed = placeOnMonitors(c.saved, 150, 300, c.monitors ? *c.monitors : none);
        EXPECT_EQ(placed.x, c.placed.x);
        EXPECT_EQ(placed.y, c.placed.y);
    }
    // Taller than the work area: its top edge, where the caption is, shows.
    const ScreenPoint tall = placeOnMonitors({3000, 3000}, 150, 2000, primaryOnly);
    EXPECT_EQ(tall.y, 0);
}

TEST(WindowPlacement, TheWindowShowsWholeRowsWithinTheWorkArea)
{
    const ScreenRect work{0, 0, 1280, 1000};
    struct Case {
        const char* name;
        int32_t rows, top;
        ListFit fit;
    };
    const Case cases[] = {
        {"three rows", 3, 100, {3, 3 * 17 + 25, 3 * 17 + 2, false, 100}},
        {"the most that fit", 57, 0, {57, 57 * 17 + 25, 57 * 17 + 2, false, 0}},
        {"one more scrolls", 58, 0, {57, 57 * 17 + 25, 57 * 17 + 2, true, 0}},
        {"200 rows, moved up", 200, 500, {57, 57 * 17 + 25, 57 * 17 + 2, true, 1000 - (57 * 17 + 25)}},
        {"fitting rows moved up too", 10, 900, {10, 195, 172, false, 1000 - 195}},
        {"above the area stays", 3, -50, {3, 76, 53, false, -50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ListFit fit = fitRowsToWorkArea(c.rows, 17, c.top, work);
        EXPECT_EQ(fit.shownRows, c.fit.shownRows);
        EXPECT_EQ(fit.outerHeight, c.fit.outerHeight);
        EXPECT_EQ(fit.listHeight, c.fit.listHeight);
        EXPECT_EQ(fit.scrolls, c.fit.scrolls);
        EXPECT_EQ(fit.top, c.fit.top);
    }
    // A work area lower than one row still shows one, from its top.
    const ListFit tiny = fitRowsToWorkArea(5, 17, 300, {0, 200, 100, 230});
    EXPECT_EQ(tiny.shownRows, 1);
    EXPECT_EQ(tiny.top, 200);
}
