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
