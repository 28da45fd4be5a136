#include "artwork.h"

#include <cctype>
#include <sstream>

namespace iconforge {
namespace {

std::string trimRight(std::string s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.pop_back();
    return s;
}

bool isComment(const std::string& line)
{
    size_t first = line.find_first_not_of(" \t");
    return first != std::string::npos && line[first] == '#';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A whole decimal number or -1; no sign, no trailing junk.
int parseIndex(const std::string& word)
{
    if (word.empty() || word.size() > 4)
        return -1;
    int value = 0;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

class Parser
{
public:
    explicit Parser(std::istream& in) : m_in(in) {}

    Artwork run()
    {
        m_art.strip.resize(kStripCount);
        std::string line;
        while (next(line)) {
            if (line.empty() || isComment(line))
                continue;
            std::istringstream words(line);
            std::string keyword;
            words >> keyword;
            if (keyword == "colour")
                colour(words);
            else if (keyword == "icon")
                icon(words);
            else if (keyword == "appicon")
                appIcon(words);
            else
                throw ArtworkError(m_line, "unknown line \"" + line + "\" (expected colour, icon or appicon)");
        }
        for (int i = 0; i < kStripCount; ++i)
            if (m_art.strip[static_cast<size_t>(i)].rows.empty())
                throw ArtworkError(m_line, "icon " + std::to_string(i) + " is missing");
        if (m_art.app32.rows.empty())
            throw ArtworkError(m_line, "appicon 32 is missing");
        if (m_art.app16.rows.empty())
            throw ArtworkError(m_line, "appicon 16 is missing");
        return std::move(m_art);
    }

private:
    bool next(std::string& line)
    {
        if (!std::getline(m_in, line))
            return false;
        ++m_line;
        line = trimRight(line);  // also drops the CR of CR LF files
        return true;
    }

    void colour(std::istringstream& words)
    {
        std::string key, hex;
        words >> key >> hex;
        if (key.size() != 1 || key[0] == kTransparent || key[0] == '#')
            throw ArtworkError(m_line, "colour needs one character other than '.' and '#'");
        if (m_art.palette.count(key[0]))
            throw ArtworkError(m_line, "colour '" + key + "' is defined twice");
        if (hex.size() != 6)
            throw ArtworkError(m_line, "colour '" + key + "' needs six hex digits RRGGBB");
        int v[6];
        for (int i = 0; i < 6; ++i) {
            v[i] = hexDigit(hex[static_cast<size_t>(i)]);
            if (v[i] < 0)
                throw ArtworkError(m_line, "colour '" + key + "' has a bad hex digit in \"" + hex + "\"");
        }
        Rgb rgb;
        rgb.r = static_cast<std::uint8_t>(v[0] * 16 + v[1]);
        rgb.g = static_cast<std::uint8_t>(v[2] * 16 + v[3]);
        rgb.b = static_cast<std::uint8_t>(v[4] * 16 + v[5]);
        m_art.palette[key[0]] = rgb;
    }

    void icon(std::istringstream& words)
    {
        std::string indexWord, name;
        words >> indexWord >> name;
        int index = parseIndex(indexWord);
        if (!qb::isIconIndex(index))
            throw ArtworkError(m_line, "icon index must be 0 to " + std::to_string(kStripCount - 1) + ", not \"" +
                                           indexWord + "\"");
        if (name.empty())
            throw ArtworkError(m_line, "icon " + indexWord + " has no name");
        Picture& slot = m_art.strip[static_cast<size_t>(index)];
        if (!slot.rows.empty())
            throw ArtworkError(m_line, "icon " + indexWord + " is defined twice (first on line " +
                                           std::to_string(slot.line) + ")");
        slot = picture(name, kIconSize);
    }

    void appIcon(std::istringstream& words)
    {
        std::string sizeWord;
        words >> sizeWord;
        Picture* slot = sizeWord == "32" ? &m_art.app32 : sizeWord == "16" ? &m_art.app16 : nullptr;
        if (!slot)
            throw ArtworkError(m_line, "appicon size must be 32 or 16");
        if (!slot->rows.empty())
            throw ArtworkError(m_line, "appicon " + sizeWord + " is defined twice");
        *slot = picture("appicon", parseIndex(sizeWord));
    }

    Picture picture(const std::string& name, int size)
    {
        Picture pic;
        pic.line = m_line;
        pic.name = name;
        std::string row;
        while (static_cast<int>(pic.rows.size()) < size) {
            if (!next(row))
                throw ArtworkError(m_line, name + ": the file ends inside the picture");
            if (isComment(row))
                continue;
            if (static_cast<int>(row.size()) != size)
                throw ArtworkError(m_line, name + ": row has " + std::to_string(row.size()) + " characters, expected " +
                                               std::to_string(size));
            for (char c : row)
                if (c != kTransparent && !m_art.palette.count(c))
                    throw ArtworkError(m_line, name + ": character '" + std::string(1, c) + "' is not in the palette");
            pic.rows.push_back(row);
        }
        return pic;
    }

    std::istream& m_in;
    int m_line = 0;
    Artwork m_art;
};

}  // namespace

Image Artwork::decode(const Picture& picture) const
{
    Image img;
    img.size = static_cast<int>(picture.rows.size());
    img.pixels.resize(static_cast<size_t>(img.size * img.size));
    for (int y = 0; y < img.size; ++y)
        for (int x = 0; x < img.size; ++x) {
            char c = picture.rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            Pixel& p = img.pixels[static_cast<size_t>(y * img.size + x)];
            if (c != kTransparent) {
                p.opaque = true;
                p.colour = palette.at(c);
            }
        }
    return img;
}

Image enlarged(const Image& img, int factor)
{
    Image out;
    out.size = img.size * factor;
    out.pixels.resize(static_cast<size_t>(out.size * out.size));
    for (int y = 0; y < out.size; ++y)
        for (int x = 0; x < out.size; ++x)
            out.pixels[static_cast<size_t>(y * out.size + x)] = img.at(x / factor, y / factor);
    return out;
}

Artwork parseArtwork(std::istream& in)
{
    return Parser(in).run();
}

}  // namespace iconforge
