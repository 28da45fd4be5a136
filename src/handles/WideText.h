// Text to and from UTF-16 for the wide Win32 calls, of any length. Header
// only, below the platform services, the import and the front alike.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win {

inline std::wstring toWide(std::string_view text, UINT codePage)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), length);
    return out;
}

// `usedDefault` (not for UTF-8, which has none) asks for "?" in place of a
// character the code page cannot hold, and says whether one was.
inline std::string fromWide(std::wstring_view text, UINT codePage, DWORD flags = 0, BOOL* usedDefault = nullptr)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, usedDefault ? "?" : nullptr,
                          usedDefault);
    return out;
}

}  // namespace win
