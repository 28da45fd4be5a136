// The icon menu measured and drawn into memory bitmaps, and driven through a
// real popup under the window manager of the platform.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/IconMenu.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr UINT kIconId = 200;         // a record with an icon list
constexpr UINT kFramelessId = 201;    // a record with both lists: no raised frame
constexpr UINT kPlainId = 202;        // no record at all

// A 16 x 16 image: its left half red, its right half white, which the
// mask makes transparent.
HIMAGELIST makeHalfRedList()
{
    std::vector<DWORD> pixels(16 * 16);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 16 < 8 ? 0x00FF0000 : 0x00FFFFFF;
    HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, pixels.data());
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    ImageList_AddMasked(list, bitmap, RGB(255, 255, 255));
    DeleteObject(bitmap);
    return list;
}

HIMAGELIST g_testList = nullptr;
CommandImageRecord g_testRecords[] = {
    CommandImageRecord(kIconId, &g_testList, 0),
    CommandImageRecord(kFramelessId, &g_testList, 0, &g_testList, 0),
};

// An off-screen canvas with pixels that can be read back.
class Canvas
{
public:
    Canvas(int w, int h) : m_w(w), m_h(h)
    {
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        m_bitmap = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
        PatBlt(m_dc, 0, 0, w, h, BLACKNESS);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_w; }
    int height() const { return m_h; }
    COLORREF at(int x, int y) const { return GetPixel(m_dc, x, y); }
    void fill(COLORREF colour)
    {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all{0, 0, m_w, m_h};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    // Pixels in columns [x0, x1) that are (or, with `equal` false, are not) `colour`.
    int count(int x0, int x1, COLORREF colour, bool equal = true) const
    {
        int n = 0;
        for (int y = 0; y < m_h; ++y)
            for (int x = x0; x < x1; ++x)
                n += (at(x, y) == colour) == equal;
        return n;
    }
    // The rightmost column in [x0, x1) holding a pixel unlike the background, or -1.
    int rightmostInk(int x0, int x1, COLORREF background) const
    {
        for (int x = x1 - 1; x >= x0; --x)
            for (int y = 0; y < m_h; ++y)
                if (at(x, y) != background)
                    return x;
        return -1;
    }

private:
    int m_w;
    int m_h;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

class IconMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!g_testList)
            g_testList = makeHalfRedList();
        CIconMenu::RegisterCommandImages(g_commandImageTable, kCommandImageTableSize);
        CIconMenu::RegisterCommandImages(g_testRecords, 2);
        m_menu = CreatePopupMenu();
    }
    void TearDown() override { DestroyMenu(m_menu); }

    UINT measure(UINT id, HMENU menu = nullptr)
    {
        MEASUREITEMSTRUCT request{};
        request.CtlType = ODT_MENU;
        request.itemID = id;
        request.itemData = ULONG_PTR(menu ? menu : m_menu);
        m_iconMenu.MeasureItem(&request);
        m_lastHeight = request.itemHeight;
        return request.itemWidth;
    }

    // Measures an item with this text appended alone to a fresh menu.
    UINT widthOf(const std::string& text)
    {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 300, text.c_str());
        UINT width = measure(300, menu);
        DestroyMenu(menu);
        return width;
    }

    void draw(Canvas& canvas, UINT id, UINT state, UINT action = ODA_DRAWENTIRE)
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
        m_iconMenu.DrawItem(&request);
    }

    HMENU m_menu = nullptr;
    CIconMenu m_iconMenu;
    UINT m_lastHeight = 0;
};

const COLORREF kMenu = GetSysColor(COLOR_MENU);

TEST(CommandImageRegistry, RegistersEachRecordOnceByIdentity)
{
    // Ids no menu uses, so that the lookups of other tests are not disturbed;
    // two records share an id and are still both added.
    static HIMAGELIST list = nullptr;
    static CommandImageRecord records[] = {
        CommandImageRecord(900, &list, 5),
        CommandImageRecord(901, &list, 6),
        CommandImageRecord(901, &list, 7),
    };
    CIconMenu::RegisterCommandImages(g_commandImageTable, kCommandImageTableSize);
    EXPECT_EQ(CIconMenu::RegisterCommandImages(g_commandImageTable, kCommandImageTableSize), 0u);
    const size_t before = g_commandImageRegistry.size();
    EXPECT_EQ(CIconMenu::RegisterCommandImages(records, 0), 0u);
    EXPECT_EQ(CIconMenu::RegisterCommandImages(records, 2), 2u);
    EXPECT_EQ(CIconMenu::RegisterCommandImages(records, 3), 1u);
    EXPECT_EQ(CIconMenu::RegisterCommandImages(records, 3), 0u);
    EXPECT_EQ(g_commandImageRegistry.size(), before + 3);
    EXPECT_EQ(g_commandImageRegistry[before + 2], &records[2]);
}

TEST_F(IconMenuTest, MakeOwnerDrawnKeepsTextStateAndIsIdempotent)
{
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 7, "Inner");
    AppendMenuA(m_menu, MF_STRING | MF_CHECKED, 5, "Bold one");
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m_menu, MF_POPUP, UINT_PTR(sub), "Sub||12");
    AppendMenuA(m_menu, MF_STRING | MF_GRAYED, 6, "Greyed");

    auto snapshot = [&] {
        std::vector<MENUITEMINFOA> items;
        for (int i = 0; i < GetMenuItemCount(m_menu); ++i)
        {
            MENUITEMINFOA info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU;
            GetMenuItemInfoA(m_menu, UINT(i), TRUE, &info);
            items.push_back(info);
        }
        return items;
    };
    CIconMenu::MakeOwnerDrawn(m_menu);
    std::vector<MENUITEMINFOA> once = snapshot();
    CIconMenu::MakeOwnerDrawn(m_menu);
    std::vector<MENUITEMINFOA> twice = snapshot();

    ASSERT_EQ(once.size(), 4u);
    for (size_t i = 0; i < once.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_TRUE(once[i].fType & MFT_OWNERDRAW);
        EXPECT_EQ(once[i].dwItemData, ULONG_PTR(m_menu));
        EXPECT_EQ(once[i].fType, twice[i].fType);
        EXPECT_EQ(once[i].fState, twice[i].fState);
        EXPECT_EQ(once[i].dwItemData, twice[i].dwItemData);
    }
    EXPECT_TRUE(once[0].fState & MFS_CHECKED);
    EXPECT_TRUE(once[1].fType & MFT_SEPARATOR);
    EXPECT_EQ(once[2].hSubMenu, sub);
    EXPECT_TRUE(once[3].fState & MFS_GRAYED);
    // The texts survive the conversion: the drawing reads them back.
    char text[32] = {};
    GetMenuStringA(m_menu, 5, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "Bold one");
    GetMenuStringA(m_menu, 2, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "Sub||12");
    // The sub-menu is converted only when it opens itself.
    MENUITEMINFOA inner{};
    inner.cbSize = sizeof(inner);
    inner.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(sub, 7, FALSE, &inner);
    EXPECT_FALSE(inner.fType & MFT_OWNERDRAW);
}

TEST_F(IconMenuTest, MeasureSeparatorAndTextItems)
{
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    EXPECT_EQ(measure(0), 26u);
    EXPECT_EQ(m_lastHeight, 9u);

    for (const char* text : {"A", "Remote desktop", "Tall gjpqy |", "&Mnemonic"})
    {
        SCOPED_TRACE(text);
        UINT width = widthOf(text);
        EXPECT_GT(width, 23u);
        EXPECT_GE(m_lastHeight, 20u);
        EXPECT_EQ(m_lastHeight % 2, 0u);
    }
    // The "&" is a mnemonic marker and takes no room.
    EXPECT_EQ(widthOf("&Mnemonic"), widthOf("Mnemonic"));

    // Every item is measured bold, checked or not.
    AppendMenuA(m_menu, MF_STRING, 10, "Weighty words");
    AppendMenuA(m_menu, MF_STRING | MF_CHECKED, 11, "Weighty words");
    EXPECT_EQ(measure(10), measure(11));
    MenuMetrics bold;
    CIconMenu::LoadMenuMetrics(bold, true);
    LOGFONTA font{};
    GetObjectA(bold.font.get(), sizeof(font), &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_STREQ(font.lfFaceName, bold.nonClientMetrics.lfMenuFont.lfFaceName);
}

TEST_F(IconMenuTest, MeasureShortcutsSubmenusAndLongTexts)
{
    const UINT label = widthOf("Open") - 23;
    const UINT shortcut = widthOf("Ctrl+O") - 23;
    EXPECT_EQ(widthOf("Open\tCtrl+O"), label + shortcut + 30 + 23);
    // A trailing tab leaves no shortcut to measure.
    EXPECT_EQ(widthOf("Open\t"), label + 23);

    // Sub-menu items are 20 wider, and measured with their "||" suffix.
    HMENU sub = CreatePopupMenu();
    AppendMenuA(m_menu, MF_POPUP, UINT_PTR(sub), "Server||12");
    EXPECT_EQ(measure(UINT(UINT_PTR(sub))), widthOf("Server||12") + 20);

    // Texts are cut to 99 characters.
    std::string longText(150, 'W');
    EXPECT_EQ(widthOf(longText), widthOf(longText.substr(0, 99)));
    EXPECT_GT(widthOf(longText.substr(0, 99)), widthOf(longText.substr(0, 98)));
}

TEST_F(IconMenuTest, DrawsIconAtItsPlaceWithHighlightAndFrameWhenSelected)
{
    AppendMenuA(m_menu, MF_STRING, kIconId, "Item");
    AppendMenuA(m_menu, MF_STRING, kFramelessId, "Item");
    AppendMenuA(m_menu, MF_STRING, kPlainId, "Plain");
    Canvas canvas(120, 22);
    const int top = (22 - 16) / 2;

    draw(canvas, kIconId, 0);
    EXPECT_EQ(canvas.at(3, top), kRed);
    EXPECT_EQ(canvas.at(10, top + 15), kRed);
    EXPECT_EQ(canvas.at(2, top), kMenu);
    EXPECT_EQ(canvas.at(11, top), kMenu);      // masked half stays transparent
    EXPECT_EQ(canvas.at(3, top - 1), kMenu);
    EXPECT_EQ(canvas.at(60, 0), kMenu);

    draw(canvas, kIconId, ODS_SELECTED);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(canvas.at(0, 0), kMenu);
    EXPECT_EQ(canvas.at(20, 0), kMenu);
    EXPECT_EQ(canvas.at(21, 0), highlight);
    EXPECT_EQ(canvas.at(119, 21), highlight);
    EXPECT_EQ(canvas.at(3, top), kRed);
    // Raised frame: 20 x 20 at (1, (h - 20) / 2).
    EXPECT_EQ(canvas.at(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.at(20, 20), GetSysColor(COLOR_BTNSHADOW));

    // A redraw for focus only does not paint the highlight.
    draw(canvas, kIconId, ODS_SELECTED, ODA_FOCUS);
    EXPECT_EQ(canvas.at(60, 0), kMenu);

    // A record with both lists gets no frame; no icon: highlight from x = 0.
    draw(canvas, kFramelessId, ODS_SELECTED);
    EXPECT_EQ(canvas.at(1, 1), kMenu);
    EXPECT_EQ(canvas.at(21, 0), highlight);
    draw(canvas, kPlainId, ODS_SELECTED);
    EXPECT_EQ(canvas.at(0, 0), highlight);
    EXPECT_EQ(canvas.at(1, 1), highlight);
}

TEST_F(IconMenuTest, CheckedItemsAreBoldWithoutCheckMark)
{
    AppendMenuA(m_menu, MF_STRING, kPlainId, "Wide Words Here");
    AppendMenuA(m_menu, MF_STRING | MF_CHECKED, kPlainId + 1, "Wide Words Here");
    Canvas plain(160, 20);
    Canvas checked(160, 20);
    draw(plain, kPlainId, 0);
    draw(checked, kPlainId + 1, ODS_CHECKED);

    EXPECT_GT(checked.count(24, 160, kMenu, false), plain.count(24, 160, kMenu, false));
    EXPECT_GT(checked.rightmostInk(24, 160, kMenu), plain.rightmostInk(24, 160, kMenu));
    // Nothing at all left of the text: no check mark.
    EXPECT_EQ(checked.count(0, 24, kMenu, false), 0);
}

TEST_F(IconMenuTest, TextIsCutAtBarsAndRecordWinsOverTheSuffix)
{
    // Without a record, the suffix gives the icon (from the first registered
    // record's list); with one, the record does. The bars never show.
    AppendMenuA(m_menu, MF_STRING, kPlainId, "Name||5");
    AppendMenuA(m_menu, MF_STRING, kPlainId + 1, "Name");
    AppendMenuA(m_menu, MF_STRING, kIconId, "Name||77");
    Canvas suffixed(120, 20);
    Canvas bare(120, 20);
    Canvas recorded(120, 20);
    draw(suffixed, kPlainId, 0);
    draw(bare, kPlainId + 1, 0);
    draw(recorded, kIconId, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 24; x < 120; ++x)
        {
            ASSERT_EQ(suffixed.at(x, y), bare.at(x, y)) << x << "," << y;
            ASSERT_EQ(recorded.at(x, y), bare.at(x, y)) << x << "," << y;
        }
    EXPECT_EQ(recorded.at(3, 2), kRed);
}

TEST_F(IconMenuTest, ShortcutIsRightAlignedTwentyFivePixelsFromTheEdge)
{
    AppendMenuA(m_menu, MF_STRING, kPlainId, "Open\tCtrl+O");
    AppendMenuA(m_menu, MF_STRING, kPlainId + 1, "Open\t");
    Canvas withShortcut(200, 20);
    Canvas trailingTab(200, 20);
    draw(withShortcut, kPlainId, 0);
    draw(trailingTab, kPlainId + 1, 0);

    const int right = withShortcut.rightmostInk(100, 200, kMenu);
    EXPECT_LT(right, 200 - 25);
    EXPECT_GE(right, 200 - 25 - 3);
    EXPECT_EQ(trailingTab.rightmostInk(100, 200, kMenu), -1);
}

TEST_F(IconMenuTest, GreyedItemsEmbossTextAndIcon)
{
    AppendMenuA(m_menu, MF_STRING | MF_GRAYED, kIconId, "Greyed");
    Canvas unselected(120, 20);
    Canvas selected(120, 20);
    draw(unselected, kIconId, ODS_GRAYED);
    draw(selected, kIconId, ODS_GRAYED | ODS_SELECTED);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const int top = (20 - 16) / 2;

    EXPECT_GT(unselected.count(24, 120, grey), 0);
    EXPECT_GT(unselected.count(24, 120, white), 0);
    EXPECT_GT(selected.count(24, 120, grey), 0);
    EXPECT_EQ(selected.count(24, 120, white), 0);

    // Embossed icon: grey silhouette of the red half, white one pixel to the
    // lower right of it, no red left; no raised frame when greyed.
    for (const Canvas* canvas : {&unselected, &selected})
    {
        EXPECT_EQ(canvas->at(3, top), RGB(127, 127, 127));
        EXPECT_EQ(canvas->at(10, top + 15), RGB(127, 127, 127));
        EXPECT_EQ(canvas->at(11, top + 1), white);
        EXPECT_EQ(canvas->at(4, top + 16), white);
        EXPECT_EQ(canvas->count(0, 24, kRed), 0);
    }
    EXPECT_EQ(selected.at(1, 0), kMenu);
    EXPECT_EQ(selected.at(21, 0), highlight);
}

TEST_F(IconMenuTest, DrawDisabledIconLeavesTheRestOfTheTargetAlone)
{
    Canvas canvas(40, 40);
    const COLORREF backdrop = RGB(0, 128, 0);
    canvas.fill(backdrop);
    CIconMenu::DrawDisabledIcon(canvas.dc(), 10, 10, g_testList, 0);
    EXPECT_EQ(canvas.at(10, 10), RGB(127, 127, 127));
    EXPECT_EQ(canvas.at(17, 25), RGB(127, 127, 127));
    EXPECT_EQ(canvas.at(18, 11), RGB(255, 255, 255));
    EXPECT_EQ(canvas.at(11, 26), RGB(255, 255, 255));
    EXPECT_EQ(canvas.at(18, 10), backdrop);
    EXPECT_EQ(canvas.at(20, 20), backdrop);
    EXPECT_EQ(canvas.at(9, 9), backdrop);
    // An index the list does not hold paints nothing.
    canvas.fill(backdrop);
    CIconMenu::DrawDisabledIcon(canvas.dc(), 10, 10, g_testList, 9999);
    EXPECT_EQ(canvas.count(0, 40, backdrop, false), 0);
}

TEST_F(IconMenuTest, SeparatorDrawsAnEtchedLineThreePixelsDown)
{
    AppendMenuA(m_menu, MF_STRING, kPlainId, "x");
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    Canvas canvas(60, 9);
    draw(canvas, 0, 0);
    EXPECT_EQ(canvas.at(1, 3), kMenu);
    EXPECT_NE(canvas.at(2, 3), kMenu);
    EXPECT_NE(canvas.at(57, 3), kMenu);
    EXPECT_EQ(canvas.at(58, 3), kMenu);
    EXPECT_EQ(canvas.at(30, 2), kMenu);
    EXPECT_EQ(canvas.at(30, 0), kMenu);
}

// A real popup owned by a window that routes the owner-draw messages the way
// the main window does; keys posted from WM_ENTERIDLE pick an item.
class CountingIconMenu : public CIconMenu
{
public:
    void MeasureItem(MEASUREITEMSTRUCT* request) override
    {
        CIconMenu::MeasureItem(request);
        widths.push_back(request->itemWidth);
    }
    void DrawItem(const DRAWITEMSTRUCT* request) override
    {
        ++draws;
        CIconMenu::DrawItem(request);
    }
    std::vector<UINT> widths;
    int draws = 0;
};

struct PopupOwner
{
    CountingIconMenu iconMenu;
    std::vector<UINT> keys;
    size_t nextKey = 0;
};

LRESULT CALLBACK popupOwnerProc(HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    auto* owner = reinterpret_cast<PopupOwner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message)
    {
    case WM_INITMENUPOPUP:
        if (!HIWORD(lp))
            CIconMenu::MakeOwnerDrawn(reinterpret_cast<HMENU>(wp));
        return 0;
    case WM_MEASUREITEM:
        owner->iconMenu.MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
        return TRUE;
    case WM_DRAWITEM:
        owner->iconMenu.DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_ENTERIDLE:
        if (wp == MSGF_MENU && owner->nextKey < owner->keys.size())
        {
            HWND menuWindow = reinterpret_cast<HWND>(lp);
            UINT key = owner->keys[owner->nextKey++];
            PostMessageA(menuWindow, WM_KEYDOWN, key, 0);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wp, lp);
    }
}

UINT trackWithKeys(HMENU menu, PopupOwner& owner, std::vector<UINT> keys)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = popupOwnerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QbIconMenuTestOwner";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "QbIconMenuTestOwner", "owner", WS_POPUP, 100,
                                  100, 50, 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(&owner));
    owner.keys = std::move(keys);
    // Ends the menu if the keys did not, so the test cannot hang.
    SetTimer(window, 1, 5000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    UINT picked = UINT(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON |
                                                TPM_RETURNCMD, 120, 120, 0, window, nullptr));
    KillTimer(window, 1);
    DestroyWindow(window);
    return picked;
}

TEST(IconMenuPopup, OwnerDrawnPopupReturnsThePickedIdAndOpensSubmenus)
{
    CIconMenu::RegisterCommandImages(g_commandImageTable, kCommandImageTableSize);
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "First");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_POPUP | MF_CHECKED, UINT_PTR(sub), "Server||12");
    AppendMenuA(sub, MF_STRING, 2, "RDP");
    AppendMenuA(sub, MF_STRING, 3, "Manage");

    PopupOwner owner;
    // Down to "First", down past the separator to the sub-menu, right into
    // it (its first item), down to "Manage", Enter.
    UINT picked = trackWithKeys(menu, owner, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_EQ(picked, 3u);
    EXPECT_GT(owner.iconMenu.draws, 0);
    // Five items measured; the sub-menu item is found by its handle and is
    // as wide as its whole text plus 20.
    ASSERT_GE(owner.iconMenu.widths.size(), 5u);
    CIconMenu reference;
    HMENU probe = CreatePopupMenu();
    AppendMenuA(probe, MF_STRING, 9, "Server||12");
    MEASUREITEMSTRUCT request{};
    request.CtlType = ODT_MENU;
    request.itemID = 9;
    request.itemData = ULONG_PTR(probe);
    reference.MeasureItem(&request);
    DestroyMenu(probe);
    EXPECT_NE(std::find(owner.iconMenu.widths.begin(), owner.iconMenu.widths.end(),
                        request.itemWidth + 20),
              owner.iconMenu.widths.end());
    EXPECT_NE(std::find(owner.iconMenu.widths.begin(), owner.iconMenu.widths.end(), 26u),
              owner.iconMenu.widths.end());

    PopupOwner escaped;
    EXPECT_EQ(trackWithKeys(menu, escaped, {VK_ESCAPE}), 0u);
    DestroyMenu(menu);
}

}  // namespace
