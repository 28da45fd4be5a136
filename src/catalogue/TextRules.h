// Small text rules shared by the file reader, the menus, the lists, the
// import and the console companion: each spelt once, here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#endif

namespace qb {

// Inline: the catalogue's reader tests every line's tags with these.
inline bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}
inline bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Where byte c first stands in text at or after from, or npos: what
// std::string_view::find(char) gives. The catalogue's reader looks for a
// byte several times on every line; the C runtime that the Windows build
// links (under Wine too) scans a byte at a time behind a call, which cost
// the reader as much as all of its own work.
inline size_t findByte(std::string_view text, char c, size_t from = 0)
{
    if (from >= text.size())
        return std::string_view::npos;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* at = begin + from;
#if defined(__SSE2__) && defined(__GNUC__)
    const __m128i wanted = _mm_set1_epi8(c);
    for (; end - at >= 16; at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
        if (hits != 0)
            return static_cast<size_t>(at - begin) + static_cast<size_t>(__builtin_ctz(hits));
    }
#endif
    for (; at != end; ++at) {
        if (*at == c)
            return static_cast<size_t>(at - begin);
    }
    return std::string_view::npos;
}

// Case folded for A to Z alone: protocol names, attribute names, file
// endings and host names, which are ASCII whatever the code page. (What a
// user types to find a title folds by the code page's own table instead.)
inline char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string asciiLowered(std::string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

// The value of a hexadecimal digit (either case), or -1.
int hexDigitValue(char c);

// Where the line starting at from ends: its first CR or LF, or npos for a
// last line without terminator. CR LF, LF alone and CR alone (as some
// editors write) each end one line.
size_t findLineEnd(std::string_view bytes, size_t from = 0);
// The lines of text as findLineEnd ends them, CR LF counting once; a last
// line without terminator is a line, and nothing follows a last terminator.
std::vector<std::string_view> splitLines(std::string_view text);

// Reads a number as atoi does (leading blanks, optional sign, digits, stop at
// the first other character, no digits give 0), but saturates at the ends of
// the 32-bit range instead of overflowing.
int32_t readNumber(std::string_view text);

// "%i" of a 32-bit value.
std::string formatNumber(int32_t value);

// "text||number", the convention that carries a colour or an icon index
// after a display text.
std::string withBarNumber(std::string_view text, int32_t number);

// Splits "text||number": the shown part (before the first "||") and, when
// the bars are present, the number after them read as readNumber does.
struct BarText {
    std::string_view shown;
    bool hasNumber = false;
    int32_t number = 0;
};
BarText splitBarText(std::string_view text);

}  // namespace qb
