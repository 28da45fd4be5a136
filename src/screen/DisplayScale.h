// Sizes at the display's scale. Every pixel figure of the program is its
// value at 96 DPI; a window converts it with the DPI of the monitor it is on.
#pragma once

#include <cstdint>

namespace qb {

constexpr int32_t kBaseDpi = 96;

// `pixels` at 96 DPI as pixels at `dpi`, rounded to the nearest (as the
// system scales dialogs); 96 gives `pixels` unchanged.
constexpr int32_t scaledForDpi(int32_t pixels, int32_t dpi)
{
    const int64_t product = int64_t(pixels) * dpi;
    const int64_t half = kBaseDpi / 2;
    return int32_t(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

// Pixel art is only ever drawn at whole multiples of its 16-pixel cells, so
// that no picture is smoothed: 1x below 144 DPI, 2x from 144 DPI.
constexpr int32_t iconScaleForDpi(int32_t dpi)
{
    return dpi >= 144 ? 2 : 1;
}
constexpr int32_t kBaseIconSize = 16;
constexpr int32_t iconSizeForDpi(int32_t dpi)
{
    return kBaseIconSize * iconScaleForDpi(dpi);
}

}  // namespace qb
