// Owner-drawn popup menus with a 16 x 16 icon per item, bold checked items,
// embossed disabled icons and right-aligned shortcuts after a tab.
//
// The owning window converts a popup with CIconMenu::MakeOwnerDrawn in its
// WM_INITMENUPOPUP handler and forwards WM_MEASUREITEM / WM_DRAWITEM for
// ODT_MENU to MeasureItem / DrawItem of its CIconMenu object.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "win/Handles.h"

// The one image list that menus, lists and pickers share. The icon menu's
// records keep the ADDRESS of this handle, so the table can be built at
// program start and the list created later by the main window.
extern HIMAGELIST g_sharedImageList;

// Maps a menu command id to the image list and index of its icon.
struct CommandImageRecord
{
    uint32_t commandId;
    const HIMAGELIST* imageList;        // null: this record gives no icon
    const HIMAGELIST* secondImageList;  // never drawn; both set: no raised frame
    int32_t image;
    int32_t secondImage;

    constexpr CommandImageRecord(uint32_t id, const HIMAGELIST* list, int32_t image)
        : CommandImageRecord(id, list, image, nullptr, 0)
    {
    }
    constexpr CommandImageRecord(uint32_t id, const HIMAGELIST* list, int32_t image,
                                 const HIMAGELIST* secondList, int32_t secondImage)
        : commandId(id), imageList(list), secondImageList(secondList), image(image),
          secondImage(secondImage)
    {
    }
};

constexpr int kCommandImageTableSize = 130;
constexpr uint32_t kClosingCommandId = 0xFFFFFFFFu;

// Records 0..128 serve command ids 0..128 (record 0 draws nothing: image
// 9999); record 129 closes the table and never supplies an icon. The menu
// build rewrites the `image` fields of the ids it gives out.
extern CommandImageRecord g_commandImageTable[kCommandImageTableSize];

// Append-only lookup list; the first record with a matching id wins.
extern std::vector<CommandImageRecord*> g_commandImageRegistry;

// Colours, metrics and font for one measure or draw call.
struct MenuMetrics
{
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
    virtual ~CIconMenu();
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    virtual void DrawItem(const DRAWITEMSTRUCT* request);
    virtual void MeasureItem(MEASUREITEMSTRUCT* request);

    // Appends the records not yet registered (by identity); returns how
    // many were appended.
    static unsigned RegisterCommandImages(CommandImageRecord* records, unsigned count);

    // Turns every item of the popup into an owner-drawn item whose item
    // data is the popup's handle. Converting twice changes nothing more.
    static void MakeOwnerDrawn(HMENU popup);

    // Grey silhouette with a white shadow one pixel right and down.
    static void DrawDisabledIcon(HDC target, int x, int y, HIMAGELIST list, int image);

    static void LoadMenuMetrics(MenuMetrics& metrics, bool bold);

    // Attaches the menu resource (low 16 bits of id); with a window, makes
    // it the window's menu bar and destroys the previous one.
    bool LoadMenu(UINT resourceId, HWND window = nullptr);

    HMENU GetSafeHmenu() const { return m_menu; }

private:
    HMENU m_menu = nullptr;  // the base menu handle; stays empty in this program
};
