// The one image list of the program's 120 small icons, shared by the host
// list, the icon menus, the host editor's entry list and both icon pickers,
// and the icon picker's fill, select and read-back on a ComboBoxEx.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "win/Controls.h"

constexpr int kIconCount = 120;
constexpr int kIconSize = 16;

// The shared list itself. Null until made. No control owns it: list views use it with
// LVS_SHAREIMAGELISTS and combo boxes never destroy their image list; it is
// destroyed when the process ends.
extern HIMAGELIST g_sharedImageList;

// Makes the shared list from the colour strip and its mask: 16 x 16 cells,
// ILC_COLOR16 | ILC_MASK, growing by 120, the strip added with its mask in
// one step. The bitmaps are copied; the caller keeps them. Once made, later
// calls return the same list.
HIMAGELIST createSharedImageList(HBITMAP strip, HBITMAP mask);

// The same from bitmap resources 131 and 132 of a module, for windows that
// may open without the main window (tests, tools).
HIMAGELIST createSharedImageListFromResources(HINSTANCE module);

// The icon picker: the shared image list, then 120 items, item i showing
// image i (selected image i) and no text.
void fillIconPicker(win::ComboBoxEx& picker, HIMAGELIST images);
// Selects the item whose position is the icon index; none when the index is
// outside 0 to 119.
void selectPickerIcon(win::ComboBoxEx& picker, int icon);
// The selected position, which is the icon index; -1 when none is selected.
int pickedIcon(const win::ComboBoxEx& picker);
