// The icon menu as a screen reader reads it, and drawn into memory bitmaps.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "../core/catalogue_test_support.h"
#include "../core/fakes.h"
#include "HighContrastSeam.h"
#include "PixelProbe.h"
#include "controls/IconMenu.h"
#include "controls/IconStrip.h"
#include "launch/win32/HostPopup.h"
#include "win/Handles.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(127, 127, 127);
constexpr UINT kIconId = 200;  // has a picture

// Left half red, right half masked: both the icon's place and its mask show.
HIMAGELIST makeHalfRedList()
{
    std::vector<DWORD> pixels(16 * 16);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 16 < 8 ? 0x00FF0000 : 0x00FFFFFF;
    const win::Bitmap bitmap(CreateBitmap(16, 16, 1, 32, pixels.data()));
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    ImageList_AddMasked(list, bitmap, kWhite);
    return list;
}

std::vector<std::string> menuStrings(HMENU menu)
{
    std::vector<std::string> strings;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        char text[64] = "";
        GetMenuStringA(menu, UINT(position), text, sizeof text, MF_BYPOSITION);
        strings.push_back(text);
    }
    return strings;
}

HIMAGELIST g_testList = nullptr;

class IconMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!g_testList)
            g_testList = makeHalfRedList();
        m_iconMenu.SetImages(g_testList, {{kIconId, 0}});
        m_menu = CreatePopupMenu();
    }
    void TearDown() override { DestroyMenu(m_menu); }

    void draw(Canvas& canvas, UINT id, UINT state)
    {
        DRAWITEMSTRUCT request{};
        request.CtlType = ODT_MENU;
        request.itemID = id;
        request.itemAction = ODA_DRAWENTIRE;
        request.itemState = state;
        request.hwndItem = reinterpret_cast<HWND>(m_menu);
        request.hDC = canvas.dc();
        request.rcItem = RECT{0, 0, canvas.width(), canvas.height()};
        request.itemData = ULONG_PTR(m_menu);
        m_iconMenu.DrawItem(&request);
    }

    HMENU m_menu = nullptr;
    CIconMenu m_iconMenu;
};

// A host's menu reads out as its texts alone ("mail01", never "mail01||17"), through every
// conversion (each opening converts again).
TEST_F(IconMenuTest, AHostMenuReadsAsItsTexts)
{
    qbtest::FakeLauncher browsers;
    qb::CommandSlots slots;
    qb::CommandImages images{};
    const qb::HostMenu data = qb::buildHostMenu(*qbtest::mailHost(), qb::AppOptions(), browsers, slots, images);
    HostPopup popup = createHostPopup(data);
    DestroyMenu(m_menu);
    m_menu = popup.menu.release();
    const HMENU sub = GetSubMenu(m_menu, 1);

    CIconMenu::MakeOwnerDrawn(m_menu);
    CIconMenu::MakeOwnerDrawn(m_menu);
    CIconMenu::MakeOwnerDrawn(sub);
    EXPECT_EQ(menuStrings(m_menu), (std::vector<std::string>{"Console", "mail01", "", "Status page"}));
    EXPECT_EQ(menuStrings(sub), (std::vector<std::string>{"RDP", "c", "d", "Manage", "Reboot", "Shutdown", "Ping"}));
}

// Greyed items are engraved in white beside their grey silhouette; in High Contrast, system colours alone.
TEST_F(IconMenuTest, GreyedItemsAreEngravedUnlessInHighContrast)
{
    AppendMenuA(m_menu, MF_STRING | MF_GRAYED, kIconId, "Greyed");
    Canvas engraved(120, 20);
    draw(engraved, kIconId, ODS_GRAYED);
    EXPECT_EQ(engraved.at(11, 5), kWhite) << "the engraving, right of the silhouette";
    EXPECT_EQ(engraved.at(3, 2), kGrey);

    qbtest::HighContrastOn highContrast;
    m_iconMenu.PreparePopup(m_menu, 96);
    Canvas system(120, 20);
    draw(system, kIconId, ODS_GRAYED);
    EXPECT_EQ(system.at(11, 5), GetSysColor(COLOR_MENU));
    EXPECT_EQ(system.at(3, 2), GetSysColor(COLOR_GRAYTEXT));
}

// The program's icons drawn from the kept cells give ImageList_Draw's pixels at both scales, over a colour
// of the row's own (the mask and the cells' colour depth both show); a cell the list has not draws nothing;
// the target's colours are left for the text drawn next.
TEST(IconCells, DrawAsTheListDraws)
{
    for (const UINT dpi : {96u, 192u}) {
        HIMAGELIST list = iconImagesForDpi(dpi);
        int size = 0;
        ImageList_GetIconSize(list, &size, &size);
        const int width = size * (qb::kIconCount + 2);
        Canvas kept(width, size), listed(width, size);
        const win::Brush row(CreateSolidBrush(RGB(12, 34, 56)));
        const RECT all = {0, 0, width, size};
        FillRect(kept.dc(), &all, row);
        FillRect(listed.dc(), &all, row);
        SetTextColor(kept.dc(), kGrey);
        for (int image = -1; image <= qb::kIconCount; ++image) {
            drawIcon(list, image, kept.dc(), (image + 1) * size, 0, ILD_TRANSPARENT);
            ImageList_Draw(list, image, listed.dc(), (image + 1) * size, 0, ILD_TRANSPARENT);
        }
        EXPECT_EQ(GetTextColor(kept.dc()), kGrey);
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < size; ++y)
                ASSERT_EQ(kept.at(x, y), listed.at(x, y)) << "at " << x << "," << y << ", " << dpi << " DPI";
    }
}

}  // namespace
