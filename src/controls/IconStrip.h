// The image lists of the program's 120 icons, shared by the host list, the
// icon menus, the host editor's entry list and both icon pickers, and the
// icon picker's fill, select and read-back on a ComboBoxEx.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "catalogue/HostRecords.h"
#include "win/Controls.h"

// The program's icons as image lists, one per icon scale: cells of 16 pixels
// at 1x, 32 at 2x, chosen by the DPI (qb::iconScaleForDpi). Each list is made
// on first use from the module's bitmap resources (a colour strip and its
// mask, cut into cells in one add) and kept until the process ends: list
// views share it (LVS_SHAREIMAGELISTS), combo boxes never destroy theirs, and
// a window on a monitor of another scale may need the other list while a
// dialog still holds this one. Null when the resources cannot be read.
HIMAGELIST iconImagesForDpi(UINT dpi);

// ImageList_Draw, for any list; a list of iconImagesForDpi drawn with
// ILD_TRANSPARENT alone is drawn from cells kept for the process instead,
// with the same pixels at a fraction of the cost.
void drawIcon(HIMAGELIST list, int image, HDC dc, int x, int y, UINT style);

// The icon picker: the window's image list, then qb::kIconCount items, item i showing
// image i (selected image i) and no text.
void fillIconPicker(win::ComboBoxEx& picker, HIMAGELIST images);
// Selects the item whose position is the icon index; none when the index is
// outside 0 to 119.
void selectPickerIcon(win::ComboBoxEx& picker, int icon);
// The selected position, which is the icon index; -1 when none is selected.
int pickedIcon(const win::ComboBoxEx& picker);
