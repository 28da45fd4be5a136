// The readable icon source: a palette of one-character colours and square
// pictures written as rows of those characters.
#pragma once

#include "catalogue/HostRecords.h"

#include <cstdint>
#include <istream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace iconforge {

// The strip holds a picture for every icon index a catalogue may name.
constexpr int kStripCount = qb::kIconCount;
constexpr int kIconSize = 16;
constexpr char kTransparent = '.';

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Pixel {
    Rgb colour;
    bool opaque = false;
};

// A decoded square picture, rows top-down.
struct Image {
    int size = 0;
    std::vector<Pixel> pixels;
    const Pixel& at(int x, int y) const { return pixels[static_cast<size_t>(y * size + x)]; }
};

// Each pixel as a factor x factor block: pixel art enlarged without smoothing.
Image enlarged(const Image& img, int factor);

struct Picture {
    int line = 0;  // where its header stood, for messages
    std::string name;
    std::vector<std::string> rows;
};

struct Artwork {
    std::map<char, Rgb> palette;
    std::vector<Picture> strip;  // exactly kStripCount, in index order
    Picture app32;
    Picture app16;

    Image decode(const Picture& picture) const;
};

// Carries the line number so that a typo in the artwork points at itself.
class ArtworkError : public std::runtime_error
{
public:
    ArtworkError(int line, const std::string& what) : std::runtime_error(what), m_line(line) {}
    int line() const { return m_line; }

private:
    int m_line;
};

// Reads and fully validates an artwork text; throws ArtworkError.
Artwork parseArtwork(std::istream& in);

}  // namespace iconforge
