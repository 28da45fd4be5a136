// The owner-drawn list under Wine: its rows as the list paints them in High Contrast.
#include "controls/ColourListCtrl.h"
#include "res/resource.h"
#include "win/Dialog.h"

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "HighContrastSeam.h"
#include "PixelProbe.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);

// The host editor's template hosts a list with rows of its own: one green by its text, one red by the list's.
class ListDialog : public win::Dialog
{
public:
    ListDialog() : win::Dialog(IDD_EDIT_ITEM) {}
    BOOL OnInitDialog() override
    {
        win::Dialog::OnInitDialog();
        list.SubclassDlgItem(IDC_ENTRY_LIST, m_hwnd);
        list.InsertColumn(0, "one", 1000);
        list.SetHighlightMode(HighlightMode::OwnerDrawn);
        list.m_rowColour = RGB(255, 0, 0);
        list.Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kGreen));
        list.InsertItem(0, "Mail||65280");
        list.InsertItem(1, "Web");
        return TRUE;
    }
    RECT rowBounds(int row)
    {
        RECT rect = {};
        list.GetItemRect(row, rect, LVIR_BOUNDS);
        return rect;
    }
    CColourListCtrl list;
};

}  // namespace

// High Contrast, followed when the system says it switched: every row on the window colour in the
// window-text colour, whatever its own colours, a selected one in the system's selection; off again,
// the rows' own colours are back. Read off the screen, so a missed repaint shows.
TEST(ColourList, HighContrastDrawsEveryRowInSystemColoursUntilItEnds)
{
    ListDialog d;
    const INT_PTR result = qbtest::runModal(d, [&] {
        const int x = d.list.GetClientRect().right - 4;
        auto switched = [&] {
            SendMessageA(d, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
            UpdateWindow(d);
            UpdateWindow(d.list);
        };
        auto shown = [&](int row) {
            const win::WindowDC screen(d.list);
            const RECT bounds = d.rowBounds(row);
            return GetPixel(screen, x, (bounds.top + bounds.bottom) / 2);
        };
        switched();
        EXPECT_EQ(shown(0), kGreen);
        {
            qbtest::HighContrastOn highContrast;
            switched();
            EXPECT_EQ(shown(0), GetSysColor(COLOR_WINDOW));
            EXPECT_EQ(shown(1), GetSysColor(COLOR_WINDOW));
            const Canvas picture(d.list);
            EXPECT_EQ(picture.count(d.rowBounds(1), kGreen), 0) << "not the list's own text colour";
            EXPECT_GT(picture.count(d.rowBounds(1), GetSysColor(COLOR_WINDOWTEXT)), 10);
            d.list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
            UpdateWindow(d.list);
            EXPECT_EQ(shown(1), GetSysColor(COLOR_HIGHLIGHT));
        }
        switched();
        EXPECT_EQ(shown(0), kGreen);
        EXPECT_EQ(shown(1), GetSysColor(COLOR_HIGHLIGHT));
    });
    EXPECT_EQ(result, IDOK);
}
