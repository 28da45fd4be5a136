// Owner-drawn popup menus with a 16 x 16 icon per item, bold checked items,
// embossed disabled icons and right-aligned shortcuts after a tab.
//
// The owning window converts a popup with PreparePopup in its
// WM_INITMENUPOPUP handler and forwards WM_MEASUREITEM / WM_DRAWITEM for
// ODT_MENU to MeasureItem / DrawItem of its CIconMenu object.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <optional>

#include "win/Handles.h"

// Colours, metrics and font of the items of one popup.
struct MenuMetrics {
    COLORREF highlightColour = 0;
    COLORREF menuColour = 0;
    COLORREF menuTextColour = 0;
    COLORREF grayTextColour = 0;
    NONCLIENTMETRICSA nonClientMetrics{};
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

    // The pictures of the popup about to open: the image of each command id
    // in a list the menu does not own. Items without one draw no icon,
    // unless their text names one after "||".
    void SetImages(HIMAGELIST list, std::map<UINT, int> images);

    // For the owner's WM_INITMENUPOPUP: the colours, metrics and fonts are
    // read again for this popup, then its items are made owner-drawn.
    void PreparePopup(HMENU popup);

    // Turns every item of the popup into an owner-drawn item whose item
    // data is the popup's handle. Converting twice changes nothing more.
    static void MakeOwnerDrawn(HMENU popup);

    // Grey silhouette with a white shadow one pixel right and down.
    static void DrawDisabledIcon(HDC target, int x, int y, HIMAGELIST list, int image);

    static void LoadMenuMetrics(MenuMetrics& metrics, bool bold);

private:
    // Nothing of this changes while a popup is open, and making a font per
    // item made large menus several times slower to open than plain ones.
    struct Look {
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

    HIMAGELIST m_imageList = nullptr;
    std::map<UINT, int> m_images;
    std::optional<Look> m_look;
};
