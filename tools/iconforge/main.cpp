// iconforge ARTWORK OUTDIR: turns the readable icon artwork into the bitmap
// strip and its mask (at 1x and, for high-DPI displays, at 2x), the
// application icon and a contact sheet for review.
#include "artwork.h"
#include "formats.h"
#include "sheet.h"

#include <fstream>
#include <iostream>

using namespace iconforge;

namespace {

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: iconforge ARTWORK OUTDIR\n";
        return 2;
    }
    const std::string artPath = argv[1];
    const std::string outDir = argv[2];
    try {
        std::ifstream in(artPath);
        if (!in)
            throw std::runtime_error("cannot open " + artPath);
        Artwork art = parseArtwork(in);

        std::vector<Image> strip;
        for (const Picture& pic : art.strip)
            strip.push_back(art.decode(pic));
        Image app32 = art.decode(art.app32);
        Image app16 = art.decode(art.app16);

        std::vector<Image> strip2x;
        for (const Image& img : strip)
            strip2x.push_back(enlarged(img, 2));

        writeFile(outDir + "/iconstrip.bmp", encodeStripBmp(strip));
        writeFile(outDir + "/iconmask.bmp", encodeMaskBmp(strip));
        writeFile(outDir + "/iconstrip2x.bmp", encodeStripBmp(strip2x));
        writeFile(outDir + "/iconmask2x.bmp", encodeMaskBmp(strip2x));
        // Larger sizes are whole multiples of the drawn art, so the shell never
        // smooths it: 64 from the 32-pixel art, 48 from the 16-pixel one.
        writeFile(outDir + "/quillbank.ico",
                  encodeIco({{enlarged(app32, 2), 8}, {enlarged(app16, 3), 8}, {app32, 4}, {app32, 8}, {app16, 8}}));
        Canvas sheet = drawContactSheet(strip, app32, app16);
        writeFile(outDir + "/contact-sheet.png", encodePng(sheet.width, sheet.height, sheet.rgb));
    } catch (const ArtworkError& e) {
        std::cerr << artPath << ":" << e.line() << ": error: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "iconforge: error: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
