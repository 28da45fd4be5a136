// The system's ANSI code page, as the program itself reads the catalogue.
#include "import/ImportText.h"

#include "handles/WideText.h"

#include <windows.h>

namespace qb {

std::string unicodeToAnsi(std::u32string_view text, bool& lost)
{
    if (text.empty())
        return {};
    // No ANSI code page holds a character beyond the 16-bit range; as a
    // surrogate pair it would become two '?' instead of one.
    std::wstring wide;
    wide.reserve(text.size());
    for (char32_t c : text) {
        lost = lost || c >= 0x10000;
        wide += c >= 0x10000 ? L'?' : static_cast<wchar_t>(c);
    }
    BOOL usedDefault = FALSE;
    // No best fit: a full-width quotation mark must not turn into a '"'.
    std::string out = win::fromWide(wide, CP_ACP, WC_NO_BEST_FIT_CHARS, &usedDefault);
    lost = lost || usedDefault;
    return out;
}

std::u32string ansiToUnicode(std::string_view text)
{
    if (text.empty())
        return {};
    const std::wstring wide = win::toWide(text, CP_ACP);
    std::u32string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        out += c;
    }
    return out;
}

}  // namespace qb
