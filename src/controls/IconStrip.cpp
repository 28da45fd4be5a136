#include "controls/IconStrip.h"

#include "screen/DisplayScale.h"
#include "res/resource.h"
#include "win/Handles.h"

#include <algorithm>
#include <iterator>

namespace {

struct StripResources {
    int strip;
    int mask;
};
// By icon scale: 1x, 2x.
constexpr StripResources kStrips[] = {{IDB_ICONSTRIP, IDB_ICONMASK}, {IDB_ICONSTRIP2X, IDB_ICONMASK2X}};
constexpr int kScales = int(std::size(kStrips));

// One scale's icons: the image list, for the controls that draw from it
// themselves (the pickers), and its cells and mask selected into memory DCs
// for the owner-drawn rows and menus. ImageList_Draw makes a DC and a bitmap
// at every call, a quarter of a millisecond an icon under Wine, which a
// screen of rows pays before the window's first paint; two blits from DCs
// kept for the process cost a hundredth of that.
struct IconSet {
    win::ImageList list;
    // Declared before their DCs, which go first and so let them go.
    win::Bitmap cells;  // 16 bits a pixel as the list keeps them, black where the mask is white
    win::Bitmap mask;
    win::MemoryDC cellsDC;
    win::MemoryDC maskDC;
    int size = 0;
    int count = 0;
};

// The cells as the list's own: its colours (ILC_COLOR16), black behind the
// mask, so that a cell ORed onto what the mask left draws the icon.
void copyCells(IconSet& set, HBITMAP strip, int size)
{
    BITMAP shape = {};
    if (!GetObject(strip, sizeof shape, &shape))
        return;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, shape.bmWidth, shape.bmHeight, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    set.cells.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    set.cellsDC.reset(CreateCompatibleDC(nullptr));
    set.maskDC.reset(CreateCompatibleDC(nullptr));
    win::MemoryDC stripDC(CreateCompatibleDC(nullptr));
    if (!set.cells || !set.cellsDC || !set.maskDC || !stripDC)
        return;
    SelectObject(set.cellsDC.get(), set.cells.get());
    SelectObject(set.maskDC.get(), set.mask.get());
    {
        win::SelectGuard selection(stripDC.get(), strip);
        BitBlt(set.cellsDC.get(), 0, 0, shape.bmWidth, shape.bmHeight, stripDC.get(), 0, 0, SRCCOPY);
    }
    // A monochrome source maps through the target's colours: white is the mask's transparent.
    SetTextColor(set.cellsDC.get(), RGB(0, 0, 0));
    SetBkColor(set.cellsDC.get(), RGB(255, 255, 255));
    constexpr DWORD kTargetAndNotSource = 0x00220326;
    BitBlt(set.cellsDC.get(), 0, 0, shape.bmWidth, shape.bmHeight, set.maskDC.get(), 0, 0, kTargetAndNotSource);
    set.size = size;
    set.count = shape.bmWidth / size;
}

IconSet makeIconSet(const StripResources& resources, int size)
{
    IconSet set;
    const win::Bitmap strip = win::loadBitmapResource(resources.strip);
    set.mask = win::loadBitmapResource(resources.mask);
    if (!strip || !set.mask)
        return IconSet();
    set.list.reset(ImageList_Create(size, size, ILC_COLOR16 | ILC_MASK, 0, qb::kIconCount));
    // One add cuts the whole strip into its cells, each with its own mask.
    if (!set.list || ImageList_Add(set.list.get(), strip.get(), set.mask.get()) < 0)
        return IconSet();
    // Without its cells (a size of 0) the set is drawn through the list.
    copyCells(set, strip.get(), size);
    return set;
}

// Outlives every window: destroyed when the process ends.
class IconSetCache
{
public:
    HIMAGELIST forScale(int scale)
    {
        const int slot = std::min(std::max(scale, 1), kScales) - 1;
        if (!m_sets[slot].list)
            m_sets[slot] = makeIconSet(kStrips[slot], qb::kBaseIconSize * (slot + 1));
        return m_sets[slot].list.get();
    }
    const IconSet* setOf(HIMAGELIST list) const
    {
        for (const IconSet& set : m_sets) {
            if (list && set.list.get() == list)
                return &set;
        }
        return nullptr;
    }

private:
    IconSet m_sets[kScales];
};

IconSetCache& iconSets()
{
    static IconSetCache cache;
    return cache;
}

}  // namespace

HIMAGELIST iconImagesForDpi(UINT dpi)
{
    return iconSets().forScale(qb::iconScaleForDpi(int(dpi)));
}

void drawIcon(HIMAGELIST list, int image, HDC dc, int x, int y, UINT style)
{
    const IconSet* set = iconSets().setOf(list);
    if (!set || set->size == 0 || style != ILD_TRANSPARENT) {
        ImageList_Draw(list, image, dc, x, y, style);
        return;
    }
    // A cell the list does not have draws nothing, as ImageList_Draw does.
    if (image < 0 || image >= set->count)
        return;
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, set->size, set->size, set->maskDC.get(), image * set->size, 0, SRCAND);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    BitBlt(dc, x, y, set->size, set->size, set->cellsDC.get(), image * set->size, 0, SRCPAINT);
}

void fillIconPicker(win::ComboBoxEx& picker, HIMAGELIST images)
{
    picker.SetImageList(images);
    for (int i = 0; i < qb::kIconCount; ++i) {
        picker.InsertImageItem(i, i, i);
    }
}

void selectPickerIcon(win::ComboBoxEx& picker, int icon)
{
    picker.SetCurSel(qb::isIconIndex(icon) ? icon : -1);
}

int pickedIcon(const win::ComboBoxEx& picker)
{
    return picker.GetCurSel();
}
