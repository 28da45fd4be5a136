// The system's ANSI code page, as the program itself reads the catalogue.
#include "import/ImportText.h"

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
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    int size = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), size, out.data(), length, "?", &usedDefault);
    lost = lost || usedDefault;
    return out;
}

std::u32string ansiToUnicode(std::string_view text)
{
    if (text.empty())
        return {};
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
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
