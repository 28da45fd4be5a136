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

HIMAGELIST CreateSharedImageList(HBITMAP strip, HBITMAP mask)
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

HIMAGELIST CreateSharedImageListFromResources(HINSTANCE module)
{
    if (g_sharedImageList) {
        return g_sharedImageList;
    }
    HBITMAP strip = LoadBitmapA(module, MAKEINTRESOURCEA(kStripBitmapId));
    HBITMAP mask = LoadBitmapA(module, MAKEINTRESOURCEA(kMaskBitmapId));
    HIMAGELIST list = (strip && mask) ? CreateSharedImageList(strip, mask) : nullptr;
    if (strip) {
        DeleteObject(strip);
    }
    if (mask) {
        DeleteObject(mask);
    }
    return list;
}

void FillIconPicker(HWND comboBoxEx, HIMAGELIST images)
{
    SendMessageA(comboBoxEx, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    for (int i = 0; i < kIconCount; ++i) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = i;
        item.iImage = i;
        item.iSelectedImage = i;
        SendMessageA(comboBoxEx, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void SelectPickerIcon(HWND comboBoxEx, int icon)
{
    const int position = (icon >= 0 && icon < kIconCount) ? icon : -1;
    SendMessageA(comboBoxEx, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

int PickedIcon(HWND comboBoxEx)
{
    const LRESULT position = SendMessageA(comboBoxEx, CB_GETCURSEL, 0, 0);
    return position == CB_ERR ? -1 : static_cast<int>(position);
}
