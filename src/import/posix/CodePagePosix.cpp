// Windows-1252 stands for the ANSI code page off Windows, where the catalogue
// is still a Windows file.
#include "import/ImportText.h"

namespace qb {

namespace {

// 0x80-0x9F; the five bytes the page leaves undefined map to the C1 control
// of the same value, as Windows maps them. 0xA0-0xFF equal U+00A0-U+00FF.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::string unicodeToAnsi(std::u32string_view text, bool& lost)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        char byte = '?';
        for (size_t i = 0; i < 32; ++i) {
            if (kCp1252High[i] == c)
                byte = static_cast<char>(0x80 + i);
        }
        lost = lost || byte == '?';
        out += byte;
    }
    return out;
}

std::u32string ansiToUnicode(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        out += byte < 0x80 ? char32_t{byte} : byte < 0xA0 ? kCp1252High[byte - 0x80] : char32_t{byte};
    }
    return out;
}

}  // namespace qb
