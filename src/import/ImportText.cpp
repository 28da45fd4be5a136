#include "import/ImportText.h"

#include "catalogue/TextRules.h"

#include <algorithm>

namespace qb {

namespace {

std::u32string decodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u32string out;
    out.reserve(bytes.size() / 2);
    auto unit = [&](size_t i) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
                continue;
            }
        }
        // A lone surrogate cannot be held by any ANSI page either.
        out += c >= 0xD800 && c <= 0xDFFF ? char32_t{0xFFFD} : c;
    }
    return out;
}

}  // namespace

size_t utf8Sequence(std::string_view text, char32_t& c)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    size_t length = lead < 0x80             ? 1
                    : (lead & 0xE0) == 0xC0 ? 2
                    : (lead & 0xF0) == 0xE0 ? 3
                    : (lead & 0xF8) == 0xF0 ? 4
                                            : 0;
    if (length == 0 || length > text.size())
        return 0;
    c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

bool decodeUtf8(std::string_view bytes, std::u32string& out)
{
    out.clear();
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        char32_t c = 0;
        size_t length = utf8Sequence(bytes, c);
        if (length == 0)
            return false;
        out += c;
        bytes.remove_prefix(length);
    }
    return true;
}

std::string encodeUtf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string ansiToUtf8(std::string_view text)
{
    bool plain = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return plain ? std::string(text) : encodeUtf8(ansiToUnicode(text));
}

std::string AnsiText::fromUtf8(std::string_view utf8)
{
    std::u32string decoded;
    if (!decodeUtf8(utf8, decoded))
        return std::string(utf8);
    return fromUnicode(decoded);
}

std::string AnsiText::fromUnicode(std::u32string_view text)
{
    bool lost = false;
    std::string out = unicodeToAnsi(text, lost);
    m_lost = m_lost || lost;
    return out;
}

std::string AnsiText::fromFile(std::string_view bytes)
{
    if (startsWith(bytes, "\xFF\xFE"))
        return fromUnicode(decodeUtf16(bytes.substr(2), false));
    if (startsWith(bytes, "\xFE\xFF"))
        return fromUnicode(decodeUtf16(bytes.substr(2), true));
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return fromUtf8(bytes);
}

void AnsiText::warnInto(std::vector<std::string>& warnings) const
{
    if (m_lost)
        warnings.push_back("some characters are not in the ANSI code page and became \"?\"");
}

}  // namespace qb
