// Runs iconforge, reads its files back with an independent decoder, and feeds
// it broken artwork: iconforge_check ICONFORGE ARTWORK WORKDIR
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <iostream>
#include <iterator>
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

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

int run(const std::string& command)
{
    int status = std::system(command.c_str());
    return status == -1 ? -1 : WEXITSTATUS(status);
}

// A strip of 120 cells of `cell` pixels: bottom-up, a 40-byte header, uncompressed.
bool isStripBitmap(const std::string& f, int cell, std::uint32_t pixelsAt, std::uint32_t bpp, std::uint32_t colours)
{
    return f.size() > 54 && f[0] == 'B' && f[1] == 'M' && le(f, 10, 4) == pixelsAt && le(f, 14, 4) == 40 &&
           le(f, 18, 4) == 120u * unsigned(cell) && le(f, 22, 4) == unsigned(cell) && le(f, 28, 2) == bpp &&
           le(f, 30, 4) == 0 && le(f, 46, 4) == colours;
}

// One picture of the strip: colour and transparency, top-down.
struct Cell {
    std::vector<std::uint32_t> rgb;
    std::vector<bool> clear;
    bool operator<(const Cell& o) const { return rgb != o.rgb ? rgb < o.rgb : clear < o.clear; }
    bool operator==(const Cell& o) const { return rgb == o.rgb && clear == o.clear; }
};

// The strip and mask named NAME.bmp and MASK.bmp, cut into cells.
std::vector<Cell> readStrip(const std::string& dir, const std::string& name, const std::string& maskName, int cell)
{
    const std::string strip = readText(dir + "/" + name + ".bmp"), mask = readText(dir + "/" + maskName + ".bmp");
    const size_t width = 120 * size_t(cell), stride = (width * 3 + 3) / 4 * 4, maskStride = (width + 31) / 32 * 4;
    const int before = g_failures;
    expect(strip.size() == 54 + stride * size_t(cell) && isStripBitmap(strip, cell, 54, 24, 0),
           name + ": 24 bpp pixels after the headers");
    expect(mask.size() == 62 + maskStride * size_t(cell) && isStripBitmap(mask, cell, 62, 1, 2),
           maskName + ": 1 bpp, two colours");
    expect(le(mask, 54, 4) == 0 && le(mask, 58, 4) == 0xFFFFFF, maskName + ": palette is black, white");
    if (g_failures != before)
        return {};

    std::vector<Cell> cells(
        120, Cell{std::vector<std::uint32_t>(size_t(cell * cell)), std::vector<bool>(size_t(cell * cell))});
    for (int y = 0; y < cell; ++y) {
        size_t row = static_cast<size_t>(cell - 1 - y);  // bottom-up
        for (size_t x = 0; x < width; ++x) {
            Cell& c = cells[x / size_t(cell)];
            const size_t at = size_t(y * cell) + x % size_t(cell);
            c.rgb[at] = le(strip, 54 + row * stride + x * 3, 3);
            c.clear[at] = mask[62 + row * maskStride + x / 8] & (0x80 >> (x % 8));
        }
    }
    return cells;
}

// The 2x strip must be the 1x one with every pixel doubled: nothing smoothed,
// nothing shifted between cells.
void checkDoubled(const std::vector<Cell>& small, const std::vector<Cell>& big)
{
    bool same = small.size() == big.size();
    for (size_t i = 0; same && i < small.size(); ++i)
        for (size_t at = 0; at < 32 * 32; ++at) {
            const size_t from = at / 32 / 2 * 16 + at % 32 / 2;
            same = same && big[i].rgb[at] == small[i].rgb[from] && big[i].clear[at] == small[i].clear[from];
        }
    expect(same, "the 2x strip and mask are the 1x ones doubled");
}

// Identical pictures point at a generator that lost its place in the strip;
// masked pixels must be black for the image list's masking.
void checkPictures(const std::vector<Cell>& cells)
{
    std::set<Cell> distinct(cells.begin(), cells.end());
    expect(distinct.size() == 120, "all 120 pictures are different");
    for (size_t i = 0; i < cells.size(); ++i)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                expect(!cells[i].clear[size_t(y * 16 + x)] || cells[i].rgb[size_t(y * 16 + x)] == 0,
                       "transparent pixels are black in picture " + std::to_string(i));
}

// The mask must show exactly the artwork's '.' cells, in place: this catches
// flipped rows, shifted columns and a wrong bit order at once.
void checkMaskMatchesArtwork(const std::vector<Cell>& cells, const std::string& artwork)
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
                same = same && cells[static_cast<size_t>(index)].clear[size_t(y * 16 + x)] ==
                                   (line[static_cast<size_t>(x)] == '.');
            ++y;
        }
        expect(same, "mask of picture " + std::to_string(index) + " matches the artwork");
    }
}

void checkIco(const std::string& dir)
{
    const std::string f = readText(dir + "/quillbank.ico");
    // Largest first; 48 and 64 are stored as they are (only 256 would be 0).
    const unsigned want[][2] = {{64, 8}, {48, 8}, {32, 4}, {32, 8}, {16, 8}};
    const size_t count = std::size(want);
    expect(le(f, 0, 4) == 0x10000 && le(f, 4, 2) == count, "icon directory holds five icon images");
    for (size_t i = 0; i < count && f.size() >= 6 + 16 * count; ++i) {
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

// Artwork is edited by hand: a row one cell short must fail with its line.
void checkMalformed(const std::string& forge, const std::string& artwork, const std::string& dir)
{
    std::string text = readText(artwork);
    size_t at = text.find("\nicon 5 ");
    for (int row = 0; row < 4 && at != std::string::npos; ++row)
        at = text.find('\n', at + 1);
    if (at == std::string::npos)
        return expect(false, "artwork has an icon 5 with rows");
    const size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
    text.erase(at - 1, 1);
    const std::string path = dir + "/broken.txt", errors = dir + "/broken.err";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    int status = run(quoted(forge) + " " + quoted(path) + " " + quoted(dir + "/broken") + " 2>" + quoted(errors));
    const std::string message = readText(errors), wanted = "broken.txt:" + std::to_string(line) + ": error:";
    expect(status != 0, "short row: iconforge fails");
    expect(message.find(wanted) != std::string::npos, "short row: message has '" + wanted + "', got: " + message);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const std::string forge = argv[1], artwork = argv[2], dir = argv[3];
    run("mkdir -p " + quoted(dir + "/out") + " " + quoted(dir + "/broken"));
    const bool made = run(quoted(forge) + " " + quoted(artwork) + " " + quoted(dir + "/out")) == 0;
    expect(made, "iconforge succeeds on the real artwork");
    if (made) {
        std::vector<Cell> cells = readStrip(dir + "/out", "iconstrip", "iconmask", 16);
        if (!cells.empty()) {
            checkPictures(cells);
            checkMaskMatchesArtwork(cells, artwork);
            std::vector<Cell> doubled = readStrip(dir + "/out", "iconstrip2x", "iconmask2x", 32);
            if (!doubled.empty())
                checkDoubled(cells, doubled);
        }
        checkIco(dir + "/out");
    }
    checkMalformed(forge, artwork, dir);
    return g_failures ? 1 : 0;
}
