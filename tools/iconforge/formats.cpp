#include "formats.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace iconforge {
namespace {

void put16(Bytes& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void put32be(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

size_t rowBytes(int width, int bpp)
{
    return static_cast<size_t>((width * bpp + 31) / 32 * 4);
}

void putInfoHeader(Bytes& out, int width, int height, int bpp, std::uint32_t imageSize, std::uint32_t coloursUsed)
{
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
    put16(out, 1);
    put16(out, static_cast<unsigned>(bpp));
    put32(out, 0);  // BI_RGB
    put32(out, imageSize);
    put32(out, 2835);  // 72 DPI, informative only
    put32(out, 2835);
    put32(out, coloursUsed);
    put32(out, 0);
}

void putFileHeader(Bytes& out, std::uint32_t fileSize, std::uint32_t pixelOffset)
{
    out.push_back('B');
    out.push_back('M');
    put32(out, fileSize);
    put32(out, 0);
    put32(out, pixelOffset);
}

// The size of every picture of the strip, which must be one.
int stripCellSize(const std::vector<Image>& pictures)
{
    if (pictures.empty())
        throw std::logic_error("the strip has no pictures");
    for (const Image& img : pictures)
        if (img.size != pictures.front().size)
            throw std::logic_error("strip pictures must all be of one size");
    return pictures.front().size;
}

// The classic 16-colour VGA palette, the one 4-bit icons are expected to use.
const std::array<Rgb, 16> kVga = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

int nearest(const std::vector<Rgb>& palette, Rgb c)
{
    int best = 0;
    long bestDist = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = palette[i].r - c.r, dg = palette[i].g - c.g, db = palette[i].b - c.b;
        // Weighted so that greens and reds keep their hue when quantised.
        long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// One icon image: BITMAPINFOHEADER (height doubled), palette, XOR bits, AND mask.
Bytes iconImage(const Image& img, int bpp)
{
    std::vector<Rgb> palette;
    if (bpp == 4) {
        palette.assign(kVga.begin(), kVga.end());
    } else {
        palette.push_back(Rgb{});  // index 0 black: what transparent pixels hold
        for (const Pixel& p : img.pixels) {
            if (!p.opaque)
                continue;
            bool known = false;
            for (const Rgb& c : palette)
                known = known || c == p.colour;
            if (!known)
                palette.push_back(p.colour);
        }
        if (palette.size() > 256)
            throw std::runtime_error("the application icon uses more than 256 colours");
        palette.resize(256);
    }
    const int n = img.size;
    const size_t xorRow = rowBytes(n, bpp);
    const size_t andRow = rowBytes(n, 1);
    Bytes out;
    putInfoHeader(out, n, 2 * n, bpp, static_cast<std::uint32_t>((xorRow + andRow) * static_cast<size_t>(n)), 0);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        Bytes row(xorRow, 0);
        for (int x = 0; x < n; ++x) {
            const Pixel& p = img.at(x, y);
            int index = p.opaque ? nearest(palette, p.colour) : 0;
            if (bpp == 8)
                row[static_cast<size_t>(x)] = static_cast<std::uint8_t>(index);
            else
                row[static_cast<size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = n - 1; y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < n; ++x)
            if (!img.at(x, y).opaque)
                row[static_cast<size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

Bytes encodeStripBmp(const std::vector<Image>& pictures)
{
    const int cell = stripCellSize(pictures);
    const int width = cell * static_cast<int>(pictures.size());
    const size_t stride = rowBytes(width, 24);
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride * static_cast<size_t>(cell));
    Bytes out;
    putFileHeader(out, 14 + 40 + pixelBytes, 14 + 40);
    putInfoHeader(out, width, cell, 24, pixelBytes, 0);
    for (int y = cell - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (size_t i = 0; i < pictures.size(); ++i)
            for (int x = 0; x < cell; ++x) {
                const Pixel& p = pictures[i].at(x, y);
                if (!p.opaque)
                    continue;  // stays black so masked blits leave the background alone
                size_t at = (i * static_cast<size_t>(cell) + static_cast<size_t>(x)) * 3;
                row[at] = p.colour.b;
                row[at + 1] = p.colour.g;
                row[at + 2] = p.colour.r;
            }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes encodeMaskBmp(const std::vector<Image>& pictures)
{
    const int cell = stripCellSize(pictures);
    const int width = cell * static_cast<int>(pictures.size());
    const size_t stride = rowBytes(width, 1);
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride * static_cast<size_t>(cell));
    Bytes out;
    putFileHeader(out, 14 + 40 + 8 + pixelBytes, 14 + 40 + 8);
    putInfoHeader(out, width, cell, 1, pixelBytes, 2);
    put32(out, 0x00000000);  // entry 0 black: opaque
    put32(out, 0x00FFFFFF);  // entry 1 white: transparent
    for (int y = cell - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (size_t i = 0; i < pictures.size(); ++i)
            for (int x = 0; x < cell; ++x)
                if (!pictures[i].at(x, y).opaque) {
                    size_t bit = i * static_cast<size_t>(cell) + static_cast<size_t>(x);
                    row[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
                }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes encodeIco(const std::vector<IconImage>& images)
{
    std::vector<Bytes> data;
    for (const IconImage& icon : images) {
        if (icon.image.size < 1 || icon.image.size > 255)
            throw std::logic_error("icon images are 1 to 255 pixels square");
        data.push_back(iconImage(icon.image, icon.bpp));
    }

    Bytes out;
    put16(out, 0);
    put16(out, 1);  // type: icon
    put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(images[i].image.size));
        out.push_back(static_cast<std::uint8_t>(images[i].image.size));
        out.push_back(static_cast<std::uint8_t>(images[i].bpp == 4 ? 16 : 0));
        out.push_back(0);
        put16(out, 1);
        put16(out, static_cast<unsigned>(images[i].bpp));
        put32(out, static_cast<std::uint32_t>(data[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
    }
    for (const Bytes& d : data)
        out.insert(out.end(), d.begin(), d.end());
    return out;
}

std::uint32_t crc32(const std::uint8_t* data, size_t size, std::uint32_t crc)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t adler32(const std::uint8_t* data, size_t size)
{
    std::uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

namespace {

void putChunk(Bytes& out, const char* type, const Bytes& data)
{
    put32be(out, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32be(out, crc32(body.data(), body.size()));
}

}  // namespace

Bytes encodePng(int width, int height, const std::vector<std::uint8_t>& rgb)
{
    const size_t stride = static_cast<size_t>(width) * 3;
    if (rgb.size() != stride * static_cast<size_t>(height))
        throw std::logic_error("PNG pixel buffer has the wrong size");

    Bytes raw;  // each row prefixed with filter type 0 (none)
    raw.reserve((stride + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        auto row = rgb.begin() + static_cast<std::ptrdiff_t>(stride * static_cast<size_t>(y));
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(stride));
    }

    Bytes zlib = {0x78, 0x01};
    const size_t maxBlock = 65535;
    size_t pos = 0;
    do {
        size_t len = std::min(maxBlock, raw.size() - pos);
        bool last = pos + len == raw.size();
        zlib.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 = stored
        put16(zlib, static_cast<unsigned>(len));
        put16(zlib, static_cast<unsigned>(~len & 0xFFFF));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                    raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
        pos += len;
    } while (pos < raw.size());
    put32be(zlib, adler32(raw.data(), raw.size()));

    Bytes ihdr;
    put32be(ihdr, static_cast<std::uint32_t>(width));
    put32be(ihdr, static_cast<std::uint32_t>(height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter set, no interlace

    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(out, "IHDR", ihdr);
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", {});
    return out;
}

}  // namespace iconforge
