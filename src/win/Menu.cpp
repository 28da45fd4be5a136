#include "win/Menu.h"

namespace win {

PopupMenu::PopupMenu() : m_menu(::CreatePopupMenu())
{}

bool PopupMenu::AppendString(UINT id, const std::string& text, UINT flags)
{
    return ::AppendMenuA(m_menu, MF_STRING | flags, id, text.c_str()) != FALSE;
}

bool PopupMenu::AppendSeparator()
{
    return ::AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr) != FALSE;
}

bool PopupMenu::AppendPopup(PopupMenu&& sub, const std::string& text, UINT flags)
{
    if (!::AppendMenuA(m_menu, MF_STRING | MF_POPUP | flags, reinterpret_cast<UINT_PTR>(sub.get()), text.c_str()))
        return false;
    sub.release();
    return true;
}

int PopupMenu::GetItemCount() const
{
    return ::GetMenuItemCount(m_menu);
}

UINT PopupMenu::Track(HWND owner, POINT screenPoint, UINT flags)
{
    // Without the foreground the menu would not close on an outside click.
    ::SetForegroundWindow(owner);
    const BOOL result = ::TrackPopupMenu(m_menu, flags, screenPoint.x, screenPoint.y, 0, owner, nullptr);
    // Lets the owner's queue settle after the menu (a known popup quirk).
    ::PostMessageA(owner, WM_NULL, 0, 0);
    return static_cast<UINT>(result);
}

}  // namespace win
