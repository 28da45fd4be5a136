// The icon menu measured and drawn into memory bitmaps.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "../core/catalogue_test_support.h"
#include "../core/fakes.h"
#include "HighContrastSeam.h"
#include "PixelProbe.h"
#include "controls/IconMenu.h"
#include "launch/win32/HostPopup.h"
#include "win/Handles.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(127, 127, 127);
constexpr UINT kIconId = 200;   // has a picture
constexpr UINT kPlainId = 202;  // has none

// Left half red, right half masked: both the icon's place and its mask show.
// `count` images alike.
HIMAGELIST makeHalfRedList(int size = 16, int count = 1)
{
    std::vector<DWORD> pixels(size_t(size * size));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = int(i % size_t(size)) < size / 2 ? 0x00FF0000 : 0x00FFFFFF;
    const win::Bitmap bitmap(CreateBitmap(size, size, 1, 32, pixels.data()));
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 1);
    for (int i = 0; i < count; ++i)
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

const COLORREF kMenu = GetSysColor(COLOR_MENU);

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

    SIZE measure(UINT id, HMENU menu = nullptr)
    {
        MEASUREITEMSTRUCT request{};
        request.CtlType = ODT_MENU;
        request.itemID = id;
        request.itemData = ULONG_PTR(menu ? menu : m_menu);
        m_iconMenu.MeasureItem(&request);
        return SIZE{LONG(request.itemWidth), LONG(request.itemHeight)};
    }

    // An item with this text alone in a fresh menu.
    LONG widthOf(const std::string& text)
    {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 300, text.c_str());
        const LONG width = measure(300, menu).cx;
        DestroyMenu(menu);
        return width;
    }

    void draw(Canvas& canvas, UINT id, UINT state, UINT action = ODA_DRAWENTIRE, CIconMenu* iconMenu = nullptr)
    {
        DRAWITEMSTRUCT request{};
        request.CtlType = ODT_MENU;
        request.itemID = id;
        request.itemAction = action;
        request.itemState = state;
        request.hwndItem = reinterpret_cast<HWND>(m_menu);
        request.hDC = canvas.dc();
        request.rcItem = RECT{0, 0, canvas.width(), canvas.height()};
        request.itemData = ULONG_PTR(m_menu);
        (iconMenu ? *iconMenu : m_iconMenu).DrawItem(&request);
    }

    HMENU m_menu = nullptr;
    CIconMenu m_iconMenu;
};

// A host's menu reads out as its texts alone ("mail01", never "mail01||17"), through every
// conversion (each opening converts again), states and sub-menus kept; the template's picture
// is the menu's own data.
TEST_F(IconMenuTest, AHostMenuReadsAsItsTextsAndKeepsItsPicturesAside)
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
    const UINT types[] = {MFT_OWNERDRAW, MFT_OWNERDRAW, MFT_OWNERDRAW | MFT_SEPARATOR, MFT_OWNERDRAW};
    const UINT states[] = {MFS_CHECKED, MFS_CHECKED, 0, 0};
    for (UINT i = 0; i < 4; ++i) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
        GetMenuItemInfoA(m_menu, i, TRUE, &item);
        EXPECT_EQ(item.fType, types[i]) << i;
        EXPECT_EQ(item.fState & MFS_CHECKED, states[i]) << i;
        EXPECT_EQ(item.dwItemData, ULONG_PTR(m_menu));
        EXPECT_EQ(item.hSubMenu, i == 1 ? sub : nullptr);
    }

    EXPECT_EQ(popup.labelImages, (std::map<HMENU, int>{{sub, 17}}));
    static const HIMAGELIST eighteen = makeHalfRedList(16, 18);
    m_iconMenu.SetImages(eighteen, {}, popup.labelImages);
    Canvas withPicture(120, 20);
    draw(withPicture, UINT(UINT_PTR(sub)), ODS_CHECKED);
    EXPECT_EQ(withPicture.at(3, 2), kRed) << "the template's picture";
    m_iconMenu.SetImages(eighteen, {});
    Canvas without(120, 20);
    draw(without, UINT(UINT_PTR(sub)), ODS_CHECKED);
    EXPECT_EQ(without.at(3, 2), kMenu);
}

TEST_F(IconMenuTest, MeasuresTextsInBoldAndSubmenusWithTheirArrow)
{
    EXPECT_EQ(widthOf("&Mnemonic"), widthOf("Mnemonic")) << "the mnemonic marker takes no room";

    // Bold for every item, so checking one does not resize the menu.
    AppendMenuA(m_menu, MF_STRING, 10, "Weighty words");
    AppendMenuA(m_menu, MF_STRING | MF_CHECKED, 11, "Weighty words");
    EXPECT_EQ(measure(10).cx, measure(11).cx);

    // Sub-menu items are found by their handle, with room for the arrow.
    HMENU sub = CreatePopupMenu();
    AppendMenuA(m_menu, MF_POPUP, UINT_PTR(sub), "Server||12");
    EXPECT_GT(measure(UINT(UINT_PTR(sub))).cx, widthOf("Server||12"));
}

TEST_F(IconMenuTest, DrawsIconAtItsPlaceWithHighlightAndFrameWhenSelected)
{
    AppendMenuA(m_menu, MF_STRING, kIconId, "Item");
    AppendMenuA(m_menu, MF_STRING, kPlainId, "Plain");
    Canvas canvas(120, 22);
    const int top = (22 - 16) / 2;
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);

    draw(canvas, kIconId, 0);
    EXPECT_EQ(canvas.at(3, top), kRed);
    EXPECT_EQ(canvas.at(2, top), kMenu);
    EXPECT_EQ(canvas.at(3, top - 1), kMenu);
    EXPECT_EQ(canvas.at(11, top), kMenu) << "the masked half stays transparent";

    draw(canvas, kIconId, ODS_SELECTED);
    EXPECT_EQ(canvas.at(20, 0), kMenu);
    EXPECT_EQ(canvas.at(21, 0), highlight);
    EXPECT_EQ(canvas.at(3, top), kRed);
    // Raised frame: 20 x 20 at (1, (h - 20) / 2).
    EXPECT_EQ(canvas.at(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.at(20, 20), GetSysColor(COLOR_BTNSHADOW));

    draw(canvas, kIconId, ODS_SELECTED, ODA_FOCUS);
    EXPECT_EQ(canvas.at(60, 0), kMenu) << "a focus-only redraw paints no highlight";

    draw(canvas, kPlainId, ODS_SELECTED);
    EXPECT_EQ(canvas.at(0, 0), highlight) << "no icon: highlight from x = 0";
}

// The "||" suffix never shows, and a picture of the item's own wins over the one it names; checked
// items are bold without a check mark; the shortcut is right-aligned.
TEST_F(IconMenuTest, TextIsCutAtBarsBoldWhenCheckedAndShortcutIsRightAligned)
{
    const std::string text = "Wide Words Here";
    AppendMenuA(m_menu, MF_STRING, kPlainId, (text + "||5").c_str());
    AppendMenuA(m_menu, MF_STRING, kPlainId + 1, text.c_str());
    AppendMenuA(m_menu, MF_STRING, kIconId, (text + "||77").c_str());
    AppendMenuA(m_menu, MF_STRING | MF_CHECKED, kPlainId + 2, text.c_str());
    AppendMenuA(m_menu, MF_STRING, kPlainId + 3, "Open\tCtrl+O");
    Canvas suffixed(160, 20), bare(160, 20), recorded(160, 20), checked(160, 20);
    draw(suffixed, kPlainId, 0);
    draw(bare, kPlainId + 1, 0);
    draw(recorded, kIconId, 0);
    draw(checked, kPlainId + 2, ODS_CHECKED);
    for (int y = 0; y < 20; ++y)
        for (int x = 24; x < 160; ++x) {
            ASSERT_EQ(suffixed.at(x, y), bare.at(x, y)) << x << "," << y;
            ASSERT_EQ(recorded.at(x, y), bare.at(x, y)) << x << "," << y;
        }
    EXPECT_EQ(recorded.at(3, 2), kRed);

    const Canvas::Ink thin = bare.ink(RECT{24, 0, 160, 20}, kMenu);
    const Canvas::Ink bold = checked.ink(RECT{24, 0, 160, 20}, kMenu);
    EXPECT_GT(bold.count, thin.count);
    EXPECT_GT(bold.right, thin.right);
    EXPECT_EQ(checked.ink(RECT{0, 0, 24, 20}, kMenu).count, 0) << "no check mark";

    Canvas shortcut(200, 20);
    draw(shortcut, kPlainId + 3, 0);
    const int right = shortcut.ink(RECT{100, 0, 200, 20}, kMenu).right;
    EXPECT_LT(right, 200 - 25);
    EXPECT_GE(right, 200 - 25 - 3);
}

// Items of one popup share its fonts and off-screen picture: an item draws the same after others as alone.
TEST_F(IconMenuTest, AnItemDrawsTheSameAfterOthersOfItsPopup)
{
    AppendMenuA(m_menu, MF_STRING | MF_GRAYED, kPlainId, "A long greyed item\tCtrl+G");
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m_menu, MF_STRING | MF_CHECKED, kPlainId + 1, "Bold||3");
    AppendMenuA(m_menu, MF_STRING, kIconId, "Pictured");
    Canvas large(240, 30);
    draw(large, kPlainId, ODS_GRAYED | ODS_SELECTED);
    draw(large, kPlainId, ODS_GRAYED);
    draw(large, 0, 0);
    draw(large, kPlainId + 1, ODS_CHECKED | ODS_SELECTED);
    for (UINT state : {0u, UINT(ODS_SELECTED)}) {
        Canvas after(120, 20);
        draw(after, kIconId, state);
        CIconMenu fresh;
        fresh.SetImages(g_testList, {{kIconId, 0}});
        Canvas alone(120, 20);
        draw(alone, kIconId, state, ODA_DRAWENTIRE, &fresh);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 120; ++x)
                ASSERT_EQ(after.at(x, y), alone.at(x, y)) << x << "," << y << " state " << state;
    }
}

// Grey silhouette with a white shadow one pixel right and down, nothing else.
TEST_F(IconMenuTest, DisabledIconsAndTextAreEmbossed)
{
    Canvas canvas(40, 40);
    const COLORREF backdrop = RGB(0, 128, 0);
    canvas.fill(backdrop);
    CIconMenu::DrawDisabledIcon(canvas.dc(), 10, 10, g_testList, 0);
    EXPECT_EQ(canvas.at(17, 25), kGrey);
    EXPECT_EQ(canvas.at(18, 11), kWhite);
    EXPECT_EQ(canvas.at(18, 10), backdrop);
    EXPECT_EQ(canvas.at(9, 9), backdrop);

    // Greyed items: the same embossing, no raised frame, no text shadow on the highlight.
    AppendMenuA(m_menu, MF_STRING | MF_GRAYED, kIconId, "Greyed");
    Canvas unselected(120, 20), selected(120, 20);
    draw(unselected, kIconId, ODS_GRAYED);
    draw(selected, kIconId, ODS_GRAYED | ODS_SELECTED);
    EXPECT_GT(unselected.count(RECT{24, 0, 120, 20}, kWhite), 0);
    EXPECT_EQ(selected.count(RECT{24, 0, 120, 20}, kWhite), 0);
    EXPECT_EQ(selected.at(3, 2), kGrey);
    EXPECT_EQ(selected.at(1, 0), kMenu);

    // High Contrast: system colours alone, so no white engraving, the silhouette in grey text.
    qbtest::HighContrastOn highContrast;
    m_iconMenu.PreparePopup(m_menu, 96);
    Canvas system(120, 20);
    draw(system, kIconId, ODS_GRAYED);
    EXPECT_EQ(unselected.at(11, 5), kWhite) << "the engraving, right of the silhouette";
    EXPECT_EQ(system.at(11, 5), kMenu);
    EXPECT_EQ(system.at(3, 2), GetSysColor(COLOR_GRAYTEXT));
}

// A window on a 144 DPI monitor hands its DPI in, whatever the system's: the
// 32-pixel pictures, the font and every margin grow, and nothing is cut.
TEST_F(IconMenuTest, LaysOutAndDrawsAtTheOwnersDpi)
{
    static const HIMAGELIST doubled = makeHalfRedList(32);
    AppendMenuA(m_menu, MF_STRING, kIconId, "Remote Desktop");
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    const SIZE at96 = measure(kIconId);
    m_iconMenu.SetImages(doubled, {{kIconId, 0}});
    m_iconMenu.PreparePopup(m_menu, 144);
    const SIZE at144 = measure(kIconId);
    EXPECT_GE(at144.cy, 32 + 2 * 3) << "the icon and its frame fit";
    EXPECT_GT(at144.cx, at96.cx * 5 / 4) << "the text is measured in the larger font";
    EXPECT_GT(measure(0).cy, 9) << "separators grow too";

    // Drawn on a wider canvas, the text ends inside the measured item.
    Canvas canvas(at144.cx + 40, at144.cy);
    draw(canvas, kIconId, ODS_SELECTED);
    EXPECT_LT(canvas.ink(RECT{0, 0, canvas.width(), canvas.height()}, GetSysColor(COLOR_HIGHLIGHT)).right,
              at144.cx - 1);

    // The picture at its full 32 pixels, centred, never scaled down to 16.
    const int top = (at144.cy - 32) / 2;
    int left = 0;
    while (left < 16 && canvas.at(left, top + 16) != kRed)
        ++left;
    EXPECT_EQ(canvas.at(left + 15, top), kRed);
    EXPECT_EQ(canvas.at(left + 15, top + 31), kRed);
    EXPECT_NE(canvas.at(left + 16, top), kRed) << "the masked half";
    EXPECT_NE(canvas.at(left, top - 1), kRed);
}

}  // namespace
