#include "screen/DisplayScale.h"

#include <gtest/gtest.h>

// The figures at 96 DPI are the layout's own; above, rounding must never
// lose the pixel that keeps a row whole, and icons change scale at 144 only.
TEST(DisplayScale, SizesAndIconScale)
{
    struct Row {
        int dpi, extra, icon;
    } rows[] = {{96, 25, 16}, {120, 31, 16}, {143, 37, 16}, {144, 38, 32}, {192, 50, 32}};
    for (const Row& row : rows) {
        EXPECT_EQ(qb::scaledForDpi(25, row.dpi), row.extra) << row.dpi;
        EXPECT_EQ(qb::iconSizeForDpi(row.dpi), row.icon) << row.dpi;
    }
    EXPECT_EQ(qb::scaledForDpi(-1200, 96), -1200);
    EXPECT_EQ(qb::scaledForDpi(-3, 144), -5);
}
