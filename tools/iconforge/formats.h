// Byte-exact encoders for the files the resource compiler and reviewers read.
#pragma once

#include "artwork.h"

#include <cstdint>
#include <vector>

namespace iconforge {

using Bytes = std::vector<std::uint8_t>;

// 24-bit colour strip, pictures side by side, transparent pixels black.
Bytes encodeStripBmp(const std::vector<Image>& pictures);
// 1-bit mask of the same geometry: 1 (white) = transparent.
Bytes encodeMaskBmp(const std::vector<Image>& pictures);
// Icon group: 32x32 at 4 bpp and 8 bpp, 16x16 at 8 bpp, each with an AND mask.
Bytes encodeIco(const Image& big, const Image& small);
// RGB rows top-down, 3 bytes a pixel; stored (uncompressed) deflate.
Bytes encodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

std::uint32_t crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0);
std::uint32_t adler32(const std::uint8_t* data, size_t size);

}  // namespace iconforge
