#include "win/App.h"

#include <commctrl.h>
#include <objbase.h>

#include <exception>

namespace win {

HINSTANCE moduleInstance()
{
    return ::GetModuleHandleA(nullptr);
}

std::string executableName()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        // Truncated: try again with room to spare.
        path.resize(path.size() * 2);
    }
    const std::string::size_type slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() >= 4 && ::lstrcmpiA(name.c_str() + name.size() - 4, ".exe") == 0)
        name.resize(name.size() - 4);
    return name;
}

ComApartment::ComApartment() : m_initialised(SUCCEEDED(::CoInitialize(nullptr)))
{}

ComApartment::~ComApartment()
{
    if (m_initialised)
        ::CoUninitialize();
}

int Application::Run()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    try {
        int code = 0;
        if (InitInstance()) {
            MSG message;
            BOOL got;
            while ((got = ::GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1) {
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
            code = got == 0 ? static_cast<int>(message.wParam) : 1;
        }
        return code;
    } catch (const std::exception&) {
        return 1;
    } catch (...) {
        return 1;
    }
}

}  // namespace win
