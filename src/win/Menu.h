// An owned popup menu: built item by item, tracked at a point, destroyed with
// its sub-menus when it goes.
#pragma once

#include "win/Handles.h"

#include <windows.h>

#include <string>

namespace win {

class PopupMenu
{
public:
    // Creates an empty popup menu (CreatePopupMenu); check with bool.
    PopupMenu();
    // Takes ownership of `menu`.
    explicit PopupMenu(HMENU menu) noexcept : m_menu(menu) {}
    PopupMenu(PopupMenu&&) noexcept = default;
    PopupMenu& operator=(PopupMenu&&) noexcept = default;

    HMENU get() const noexcept { return m_menu.get(); }
    operator HMENU() const noexcept { return m_menu.get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(m_menu); }
    HMENU release() noexcept { return m_menu.release(); }

    // MF_STRING item with command `id`; `flags` adds MF_GRAYED, MF_CHECKED ...
    bool AppendString(UINT id, const std::string& text, UINT flags = 0);
    bool AppendSeparator();
    // Appends `sub` as a sub-menu; it is then owned (and destroyed) by this
    // menu. On failure `sub` keeps its menu.
    bool AppendPopup(PopupMenu&& sub, const std::string& text, UINT flags = 0);
    int GetItemCount() const;

    // TrackPopupMenu at `screenPoint` with `owner` receiving the menu's
    // messages (WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM ...). The owner
    // is brought to the foreground first so that a click elsewhere closes
    // the menu. With TPM_RETURNCMD (the default) returns the chosen id, 0 for
    // none; otherwise the call's BOOL and the id comes as WM_COMMAND.
    UINT Track(HWND owner, POINT screenPoint,
               UINT flags = TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY);

private:
    Menu m_menu;
};

}  // namespace win
