// The review sheet: every picture enlarged on a checkerboard, numbered.
#pragma once

#include "artwork.h"

#include <cstdint>
#include <vector>

namespace iconforge {

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // top-down, 3 bytes a pixel
};

Canvas drawContactSheet(const std::vector<Image>& strip, const Image& app32, const Image& app16);

}  // namespace iconforge
