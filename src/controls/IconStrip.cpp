#include "controls/IconStrip.h"

HIMAGELIST g_sharedImageList = nullptr;

namespace {

constexpr int kStripBitmapId = 131;
constexpr int kMaskBitmapId = 132;

// Frees the shared list when the process ends, after every window is gone.
struct SharedImageListEnd {
    ~SharedImageListEnd()
    {
        if (g_sharedImageList) {
            ImageList_Destroy(g_sharedImageList);
            g_sharedImageList = nullptr;
        }
    }
} g_sharedImageListEnd;

}  // namespace

HIMAGELIST createSharedImageList(HBITMAP strip, HBITMAP mask)
{
    if (g_sharedImageList) {
        return g_sharedImageList;
    }
    HIMAGELIST list = ImageList_Create(kIconSize, kIconSize, ILC_COLOR16 | ILC_MASK, 0, kIconCount);
    if (!list) {
        return nullptr;
    }
    // One add cuts the whole strip into its cells, each with its own mask.
    if (ImageList_Add(list, strip, mask) < 0) {
        ImageList_Destroy(list);
        return nullptr;
    }
    g_sharedImageList = list;
    return list;
}

HIMAGELIST createSharedImageListFromResources(HINSTANCE module)
{
    if (g_sharedImageList) {
        return g_sharedImageList;
    }
    HBITMAP strip = LoadBitmapA(module, MAKEINTRESOURCEA(kStripBitmapId));
    HBITMAP mask = LoadBitmapA(module, MAKEINTRESOURCEA(kMaskBitmapId));
    HIMAGELIST list = (strip && mask) ? createSharedImageList(strip, mask) : nullptr;
    if (strip) {
        DeleteObject(strip);
    }
    if (mask) {
        DeleteObject(mask);
    }
    return list;
}

void fillIconPicker(win::ComboBoxEx& picker, HIMAGELIST images)
{
    picker.SetImageList(images);
    for (int i = 0; i < kIconCount; ++i) {
        picker.InsertImageItem(i, i, i);
    }
}

void selectPickerIcon(win::ComboBoxEx& picker, int icon)
{
    picker.SetCurSel((icon >= 0 && icon < kIconCount) ? icon : -1);
}

int pickedIcon(const win::ComboBoxEx& picker)
{
    return picker.GetCurSel();
}
