// The system's ANSI code page, as the program itself reads the catalogue.
#include "import/ImportText.h"

#include <windows.h>

namespace qb {

namespace {

std::wstring toUtf16(std::u32string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

}  // namespace

std::string unicodeToAnsi(std::u32string_view text, bool& lost)
{
    if (text.empty())
        return {};
    std::wstring wide = toUtf16(text);
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
