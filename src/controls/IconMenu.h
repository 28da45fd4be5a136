// Owner-drawn popup menus with an icon per item (the image list's size),
// bold checked items, embossed disabled icons and right-aligned shortcuts
// after a tab, laid out at the owning window's DPI. An item's string stays
// its text alone, which is what the system reads out; the pictures are the
// menu's own data. In High Contrast only system colours are drawn.
//
// The owning window converts a popup with PreparePopup in its
// WM_INITMENUPOPUP handler, giving its DPI, and forwards WM_MEASUREITEM /
// WM_DRAWITEM for ODT_MENU to MeasureItem / DrawItem of its CIconMenu object.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <optional>
#include <string_view>

#include "screen/DisplayScale.h"
#include "win/Handles.h"

// Colours and font of the items of one popup.
struct MenuMetrics {
    COLORREF highlightColour = 0;
    COLORREF menuColour = 0;
    COLORREF menuTextColour = 0;
    COLORREF grayTextColour = 0;
    COLORREF highlightTextColour = 0;
    // No colours of our own: no inverted text, no white engraving.
    bool highContrast = false;
    win::Font font;
};

class CIconMenu
{
public:
    CIconMenu() = default;
    virtual ~CIconMenu() = default;
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    virtual void DrawItem(const DRAWITEMSTRUCT* request);
    virtual void MeasureItem(MEASUREITEMSTRUCT* request);

    // The pictures of the popup about to open, from a list the menu does not
    // own: the image of each command id, and of each item that opens a
    // sub-menu, by that sub-menu. Items without one draw no icon, unless
    // their text names one after "||".
    void SetImages(HIMAGELIST list, std::map<UINT, int> images, std::map<HMENU, int> labelImages = {});

    // For the owner's WM_INITMENUPOPUP: the colours, metrics and fonts are
    // read again for this popup at the owner's DPI, then its items are made
    // owner-drawn.
    void PreparePopup(HMENU popup, UINT dpi);

    // Turns every item of the popup into an owner-drawn item whose item
    // data is the popup's handle. Converting twice changes nothing more.
    static void MakeOwnerDrawn(HMENU popup);

    // Grey silhouette with a white shadow one art pixel (the icon's sixteenth)
    // right and down, at the list's icon size.
    static void DrawDisabledIcon(HDC target, int x, int y, HIMAGELIST list, int image);

    static void LoadMenuMetrics(MenuMetrics& metrics, bool bold, UINT dpi);

private:
    // Where the parts of an item go, in pixels at one DPI for one icon size.
    struct Layout {
        int iconLeft = 0;
        int iconSize = 0;
        int frameLeft = 0;  // the raised frame around a selected item's icon
        int frameSize = 0;
        int highlightLeft = 0;  // of items with an icon
        int textLeft = 0;
        int minHeight = 0;
        int textPadding = 0;  // added to the text's height
        int widthExtra = 0;   // added to the text's width
        int shortcutGap = 0;
        int shortcutRight = 0;  // margin after a shortcut's text
        int submenuArrow = 0;
        SIZE separator{0, 0};
        int separatorInset = 0;  // of the etched line, left and right
        int separatorTop = 0;

        static Layout ForDpi(UINT dpi, int iconSize);
    };

    // Nothing of this changes while a popup is open, and making a font per
    // item made large menus several times slower to open than plain ones.
    struct Look {
        Layout layout;
        MenuMetrics regular;
        MenuMetrics bold;
        // Items are measured in bold type in a DC of the screen's kind.
        win::MemoryDC measuring;
        std::optional<win::SelectGuard> measuringFont;
        // The off-screen picture each item is composed in, grown to the
        // largest item drawn so far.
        win::MemoryDC canvas;
        win::Bitmap canvasBitmap;
        std::optional<win::SelectGuard> canvasSelection;
        SIZE canvasSize{0, 0};
    };
    Look& CurrentLook();
    const MenuMetrics& Metrics(bool bold) { return bold ? CurrentLook().bold : CurrentLook().regular; }
    // The canvas of at least w x h pixels, compatible with `target`; null
    // when it cannot be made.
    HDC Canvas(HDC target, int w, int h);

    // Where an item's icon comes from, if anywhere.
    std::optional<int> ImageOf(HMENU menu, UINT id, UINT state, std::string_view text) const;

    HIMAGELIST m_imageList = nullptr;
    std::map<UINT, int> m_images;
    std::map<HMENU, int> m_labelImages;
    UINT m_dpi = qb::kBaseDpi;  // until the owner prepares a popup
    std::optional<Look> m_look;
};
