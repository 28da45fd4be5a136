// The system's sentence for an error code. Header only, below the platform
// services and the front alike.
#pragma once

#include <windows.h>

#include <string>

#include "handles/Handles.h"

namespace win {

// Without the line break and the full stop that end it, so that it reads well
// after "Unable to save x: ".
inline std::string errorText(DWORD code)
{
    char* raw = nullptr;
    DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<char*>(&raw), 0, nullptr);
    const LocalText text(raw);
    std::string result;
    if (length != 0 && text.get())
        result.assign(text.get(), length);
    while (!result.empty() && (result.back() == '\r' || result.back() == '\n' || result.back() == ' ' ||
                               result.back() == '\t' || result.back() == '.'))
        result.pop_back();
    if (result.empty())
        result = "error " + std::to_string(code);
    return result;
}

}  // namespace win
