// Runs iconforge, reads its files back with an independent decoder, and feeds
// it broken artwork: iconforge_check ICONFORGE ARTWORK WORKDIR
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <algorithm>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

int g_failures = 0;

void expect(bool ok, const std::string& what)
{
    if (!ok) {
        ++g_failures;
        std::cerr << "FAIL: " << what << "\n";
    }
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le(const Bytes& b, size_t at, int n)
{
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | (at + static_cast<size_t>(i) < b.size() ? b[at + static_cast<size_t>(i)] : 0);
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

// A 1920 x 16 bottom-up bitmap with a 40-byte header, uncompressed.
bool isStripBitmap(const Bytes& f, std::uint32_t pixelsAt, std::uint32_t bpp, std::uint32_t colours)
{
    return f.size() > 54 && f[0] == 'B' && f[1] == 'M' && le(f, 10, 4) == pixelsAt && le(f, 14, 4) == 40 &&
           le(f, 18, 4) == 1920 && le(f, 22, 4) == 16 && le(f, 28, 2) == bpp && le(f, 30, 4) == 0 &&
           le(f, 46, 4) == colours;
}

// One picture of the strip: colour and transparency, top-down.
struct Cell {
    std::uint32_t rgb[16][16];
    bool clear[16][16];
    bool operator<(const Cell& o) const { return std::memcmp(this, &o, sizeof(Cell)) < 0; }
};

std::vector<Cell> checkStrip(const std::string& dir)
{
    Bytes strip = readFile(dir + "/iconstrip.bmp");
    Bytes mask = readFile(dir + "/iconmask.bmp");
    expect(strip.size() == 54 + 92160 && isStripBitmap(strip, 54, 24, 0), "strip: 24 bpp pixels after the headers");
    expect(mask.size() == 62 + 3840 && isStripBitmap(mask, 62, 1, 2), "mask: 1 bpp, two colours");
    expect(le(mask, 54, 4) == 0 && le(mask, 58, 4) == 0xFFFFFF, "mask palette is black, white");

    std::vector<Cell> cells(120);
    if (g_failures)
        return {};
    for (int y = 0; y < 16; ++y) {
        size_t row = static_cast<size_t>(15 - y);  // bottom-up
        for (int x = 0; x < 1920; ++x) {
            size_t p = 54 + row * 5760 + static_cast<size_t>(x) * 3;
            size_t bit = static_cast<size_t>(x);
            bool clear = mask[62 + row * 240 + bit / 8] & (0x80 >> (bit % 8));
            Cell& c = cells[static_cast<size_t>(x / 16)];
            c.rgb[y][x % 16] = strip[p + 2] << 16 | strip[p + 1] << 8 | strip[p];
            c.clear[y][x % 16] = clear;
        }
    }
    return cells;
}

// Identical or empty pictures point at a generator that lost its place in
// the strip; masked pixels must be black for the image list's masking.
void checkPictures(const std::vector<Cell>& cells)
{
    std::set<Cell> distinct(cells.begin(), cells.end());
    expect(distinct.size() == 120, "all 120 pictures are different");
    for (size_t i = 0; i < cells.size(); ++i) {
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                opaque += !cells[i].clear[y][x];
                expect(!cells[i].clear[y][x] || cells[i].rgb[y][x] == 0,
                       "transparent pixels are black in picture " + std::to_string(i));
            }
        expect(opaque >= 16, "picture " + std::to_string(i) + " is not empty");
    }
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
                same = same && cells[static_cast<size_t>(index)].clear[y][x] == (line[static_cast<size_t>(x)] == '.');
            ++y;
        }
        expect(same, "mask of picture " + std::to_string(index) + " matches the artwork");
    }
}

void checkIco(const std::string& dir)
{
    Bytes f = readFile(dir + "/quillbank.ico");
    expect(le(f, 0, 2) == 0 && le(f, 2, 2) == 1 && le(f, 4, 2) == 3, "icon directory holds three icon images");
    const struct {
        unsigned size, bpp;
    } want[3] = {{32, 4}, {32, 8}, {16, 8}};
    for (size_t i = 0; i < 3 && f.size() >= 54; ++i) {
        size_t e = 6 + 16 * i;
        unsigned size = want[i].size, bpp = want[i].bpp;
        std::string tag = "icon image " + std::to_string(size) + "x" + std::to_string(size) + "x" + std::to_string(bpp);
        std::uint32_t bytes = le(f, e + 8, 4), offset = le(f, e + 12, 4);
        expect(f[e] == size && f[e + 1] == size && le(f, e + 6, 2) == bpp, tag + ": directory entry");
        expect(offset + static_cast<size_t>(bytes) <= f.size(), tag + ": lies inside the file");
        size_t xorRow = (size * bpp + 31) / 32 * 4, andRow = (size + 31) / 32 * 4;
        size_t expected = 40 + (4u << bpp) + (xorRow + andRow) * size;
        expect(bytes == expected, tag + ": " + std::to_string(bytes) + " bytes, expected " + std::to_string(expected));
        expect(le(f, offset, 4) == 40 && le(f, offset + 4, 4) == size && le(f, offset + 8, 4) == 2 * size,
               tag + ": header with doubled height");
        expect(le(f, offset + 14, 2) == bpp, tag + ": header bit count");
    }
}

// Artwork is edited by hand: a row one cell short must fail with its line.
void checkMalformed(const std::string& forge, const std::string& artwork, const std::string& dir)
{
    std::vector<std::string> lines;
    std::istringstream in(readText(artwork));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const size_t row3 =
        std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("icon 5 ", 0) == 0; }) -
        lines.begin() + 3;
    if (row3 >= lines.size())
        return expect(false, "artwork has an icon 5");
    lines[row3].pop_back();
    const std::string path = dir + "/broken.txt", errors = dir + "/broken.err";
    std::ofstream out(path, std::ios::trunc);
    for (const std::string& line : lines)
        out << line << "\n";
    out.close();
    int status = run(quoted(forge) + " " + quoted(path) + " " + quoted(dir + "/broken") + " 2>" + quoted(errors));
    const std::string message = readText(errors), wanted = "broken.txt:" + std::to_string(row3 + 1) + ": error:";
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
        std::vector<Cell> cells = checkStrip(dir + "/out");
        if (!cells.empty()) {
            checkPictures(cells);
            checkMaskMatchesArtwork(cells, artwork);
        }
        checkIco(dir + "/out");
    }
    checkMalformed(forge, artwork, dir);
    return g_failures ? 1 : 0;
}
