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

win::ImageList makeImageList(const StripResources& resources, int size)
{
    const win::Bitmap strip = win::loadBitmapResource(resources.strip);
    const win::Bitmap mask = win::loadBitmapResource(resources.mask);
    if (!strip || !mask)
        return win::ImageList();
    win::ImageList list(ImageList_Create(size, size, ILC_COLOR16 | ILC_MASK, 0, qb::kIconCount));
    // One add cuts the whole strip into its cells, each with its own mask.
    if (list && ImageList_Add(list.get(), strip.get(), mask.get()) < 0)
        return win::ImageList();
    return list;
}

// Outlives every window: destroyed when the process ends.
class ImageListCache
{
public:
    HIMAGELIST forScale(int scale)
    {
        const int slot = std::min(std::max(scale, 1), kScales) - 1;
        if (!m_lists[slot])
            m_lists[slot] = makeImageList(kStrips[slot], qb::kBaseIconSize * (slot + 1));
        return m_lists[slot].get();
    }

private:
    win::ImageList m_lists[kScales];
};

}  // namespace

HIMAGELIST iconImagesForDpi(UINT dpi)
{
    static ImageListCache cache;
    return cache.forScale(qb::iconScaleForDpi(int(dpi)));
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
