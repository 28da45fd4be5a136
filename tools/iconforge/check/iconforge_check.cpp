// Runs iconforge and reads its files back with an independent decoder:
// iconforge_check ICONFORGE ARTWORK WORKDIR
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace {

int g_failures = 0;

void expect(bool ok, const std::string& what)
{
    if (!ok) {
        ++g_failures;
        std::cerr << "FAIL: " << what << "\n";
    }
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's bytes from `at` as an n-byte little-endian number; zero past its end.
std::uint32_t le(const std::string& b, size_t at, int n)
{
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | (at + static_cast<size_t>(i) < b.size() ? std::uint8_t(b[at + static_cast<size_t>(i)]) : 0u);
    return v;
}

// A strip of 120 square cells and its mask, read back by pixel from the top-left; both files are
// bottom-up, uncompressed, with 40-byte headers, 24 bpp and 1 bpp with a black and white palette.
struct Strip {
    int cell;
    std::string pixels, mask;
    size_t row(int y) const { return static_cast<size_t>(cell - 1 - y); }
    std::uint32_t rgb(int x, int y) const { return le(pixels, 54 + row(y) * 360u * cell + x * 3u, 3); }
    bool clear(int x, int y) const { return mask[62 + row(y) * 15u * cell + x / 8u] & (0x80 >> (x % 8)); }
};

bool isStripBitmap(const std::string& f, std::uint32_t pixelsAt, std::uint32_t bpp, std::uint32_t colours, int cell)
{
    return f.size() == pixelsAt + 120u * cell * cell * bpp / 8 && f[0] == 'B' && f[1] == 'M' &&
           le(f, 10, 4) == pixelsAt && le(f, 14, 4) == 40 && le(f, 18, 4) == 120u * cell &&
           le(f, 22, 4) == std::uint32_t(cell) && le(f, 28, 2) == bpp && le(f, 30, 4) == 0 && le(f, 46, 4) == colours;
}

Strip readStrip(const std::string& dir, const std::string& suffix, int cell)
{
    Strip s{cell, readText(dir + "/iconstrip" + suffix + ".bmp"), readText(dir + "/iconmask" + suffix + ".bmp")};
    const std::string name = "strip" + suffix + " of " + std::to_string(cell) + "-pixel cells: ";
    expect(isStripBitmap(s.pixels, 54, 24, 0, cell), name + "24 bpp pixels after the headers");
    expect(isStripBitmap(s.mask, 62, 1, 2, cell), name + "1 bpp mask");
    expect(le(s.mask, 54, 4) == 0 && le(s.mask, 58, 4) == 0xFFFFFF, name + "mask palette is black, white");
    return s;
}

// The 2x strip and mask must be the 1x ones with every pixel doubled: no smoothing, no cell shifted.
void checkDoubled(const Strip& one, const Strip& two)
{
    bool same = true;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 3840; ++x)
            same = same && two.rgb(x, y) == one.rgb(x / 2, y / 2) && two.clear(x, y) == one.clear(x / 2, y / 2);
    expect(same, "the 2x strip and mask are the 1x ones doubled");
}

// Identical pictures point at a generator that lost its place in the strip;
// masked pixels must be black for the image list's masking.
void checkPictures(const Strip& strip)
{
    std::set<std::vector<std::uint32_t>> distinct;
    for (int i = 0; i < 120; ++i) {
        std::vector<std::uint32_t> picture;
        for (int y = 0; y < 16; ++y)
            for (int x = 16 * i; x < 16 * i + 16; ++x) {
                picture.push_back(strip.clear(x, y) ? 1u << 24 : strip.rgb(x, y));
                expect(!strip.clear(x, y) || strip.rgb(x, y) == 0,
                       "transparent pixels are black in picture " + std::to_string(i));
            }
        distinct.insert(picture);
    }
    expect(distinct.size() == 120, "all 120 pictures are different");
}

// The mask must show exactly the artwork's '.' cells, in place: this catches
// flipped rows, shifted columns and a wrong bit order at once.
void checkMaskMatchesArtwork(const Strip& strip, const std::string& artwork)
{
    std::istringstream in(readText(artwork));
    std::string line;
    while (std::getline(in, line)) {
        int index = -1;
        if (std::sscanf(line.c_str(), "icon %d", &index) != 1 || index < 0 || index >= 120)
            continue;
        bool same = true;
        for (int y = 0; y < 16 && std::getline(in, line);) {
            if (line.empty() || line[0] == '#')
                continue;
            for (int x = 0; x < 16 && x < static_cast<int>(line.size()); ++x)
                same = same && strip.clear(16 * index + x, y) == (line[static_cast<size_t>(x)] == '.');
            ++y;
        }
        expect(same, "mask of picture " + std::to_string(index) + " matches the artwork");
    }
}

void checkIco(const std::string& dir)
{
    const std::string f = readText(dir + "/quillbank.ico");
    // Largest first; 48 and 64 are stored as they are (only 256 would be 0).
    const unsigned want[5][2] = {{64, 8}, {48, 8}, {32, 4}, {32, 8}, {16, 8}};
    expect(le(f, 0, 4) == 0x10000 && le(f, 4, 2) == 5, "icon directory holds five icon images");
    for (size_t i = 0; i < 5 && f.size() >= 86; ++i) {
        const size_t e = 6 + 16 * i;
        const unsigned size = want[i][0], bpp = want[i][1];
        const std::uint32_t bytes = le(f, e + 8, 4), offset = le(f, e + 12, 4);
        // Palette, then XOR and AND rows padded to four bytes each.
        const size_t expected = 40 + (4u << bpp) + ((size * bpp + 31) / 32 + (size + 31) / 32) * 4 * size;
        expect(le(f, e, 1) == size && le(f, e + 1, 1) == size && le(f, e + 6, 2) == bpp && bytes == expected &&
                   offset + size_t(bytes) <= f.size() && le(f, offset, 4) == 40 && le(f, offset + 4, 4) == size &&
                   le(f, offset + 8, 4) == 2 * size && le(f, offset + 14, 2) == bpp,
               "icon image " + std::to_string(i) + ": entry or header");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const std::string forge = argv[1], artwork = argv[2], dir = argv[3];
    std::filesystem::create_directories(dir + "/out");
    const int status = std::system(("'" + forge + "' '" + artwork + "' '" + dir + "/out'").c_str());
    const bool made = status != -1 && WEXITSTATUS(status) == 0;
    expect(made, "iconforge succeeds on the real artwork");
    if (made) {
        const Strip one = readStrip(dir + "/out", "", 16), two = readStrip(dir + "/out", "2x", 32);
        if (!g_failures) {
            checkPictures(one);
            checkMaskMatchesArtwork(one, artwork);
            checkDoubled(one, two);
        }
        checkIco(dir + "/out");
    }
    return g_failures ? 1 : 0;
}
