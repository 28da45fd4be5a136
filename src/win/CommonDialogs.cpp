#include "win/CommonDialogs.h"

#include "win/App.h"

#include <commdlg.h>

namespace win {

int showMessage(const std::string& text, UINT type, HWND owner)
{
    if (!owner)
        owner = ::GetActiveWindow();
    const std::string caption = executableName();
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

std::optional<COLORREF> chooseColour(HWND owner, COLORREF initial)
{
    // The chooser insists on a custom-colour table; it lives for this call.
    COLORREF custom[16];
    for (COLORREF& colour : custom)
        colour = RGB(255, 255, 255);
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner ? owner : ::GetActiveWindow();
    choose.rgbResult = initial;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!::ChooseColorA(&choose))
        return std::nullopt;
    return choose.rgbResult;
}

std::optional<std::string> chooseOpenFile(HWND owner, const std::string& filter)
{
    // The largest path the dialog hands back; text of its own size, not a
    // fixed array.
    std::string path(32768, '\0');
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = owner ? owner : ::GetActiveWindow();
    open.lpstrFilter = filter.c_str();
    open.lpstrFile = path.data();
    open.nMaxFile = static_cast<DWORD>(path.size());
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameA(&open))
        return std::nullopt;
    path.resize(path.find('\0'));
    return path;
}

}  // namespace win
