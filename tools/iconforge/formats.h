// Byte-exact encoders for the files the resource compiler and reviewers read.
#pragma once

#include "artwork.h"

#include <cstdint>
#include <vector>

namespace iconforge {

using Bytes = std::vector<std::uint8_t>;

// 24-bit colour strip, pictures (all of one size) side by side, transparent
// pixels black.
Bytes encodeStripBmp(const std::vector<Image>& pictures);
// 1-bit mask of the same geometry: 1 (white) = transparent.
Bytes encodeMaskBmp(const std::vector<Image>& pictures);

struct IconImage {
    Image image;  // at most 255 pixels square: the directory stores the size in a byte
    int bpp = 8;  // 4 (the VGA palette) or 8 (the picture's own colours)
};
// Icon group: the images in the given order, each with an AND mask.
Bytes encodeIco(const std::vector<IconImage>& images);
// RGB rows top-down, 3 bytes a pixel; stored (uncompressed) deflate.
Bytes encodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

std::uint32_t crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0);
std::uint32_t adler32(const std::uint8_t* data, size_t size);

}  // namespace iconforge
