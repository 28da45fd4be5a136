// Text as import sources give it (UTF-8, UTF-16 with a BOM, or the ANSI code
// page) brought to the ANSI code page the catalogue is kept in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qb {

// The length of the well-formed UTF-8 sequence at the start of text and its
// code point, or 0 when it is not one.
size_t utf8Sequence(std::string_view text, char32_t& c);
// The code points of well-formed UTF-8; false (and out unspecified) for
// anything else: overlong forms, surrogates, cut sequences.
bool decodeUtf8(std::string_view bytes, std::u32string& out);
std::string encodeUtf8(std::u32string_view text);

// The ANSI code page: Windows-1252 on POSIX systems, the system's own on
// Windows. A character the page cannot hold becomes "?" and sets lost.
std::string unicodeToAnsi(std::u32string_view text, bool& lost);
std::u32string ansiToUnicode(std::string_view text);
std::string ansiToUtf8(std::string_view text);

// Converts a source's text, remembering whether any character was lost so
// that an import warns once, not once per host.
class AnsiText
{
public:
    // Bytes that are not well-formed UTF-8 are kept as they are.
    std::string fromUtf8(std::string_view utf8);
    std::string fromUnicode(std::u32string_view text);
    // A whole file: UTF-16 (little or big endian) when it starts with that
    // BOM, UTF-8 with or without its BOM, and otherwise taken as the ANSI
    // code page already.
    std::string fromFile(std::string_view bytes);
    // Adds the one warning when some character was lost.
    void warnInto(std::vector<std::string>& warnings) const;

private:
    bool m_lost = false;
};

}  // namespace qb
