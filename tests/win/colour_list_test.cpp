// The owner-drawn list under Wine: its rows as the list paints them into a bitmap.
#include "controls/ColourListCtrl.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogDriver.h"
#include "PixelProbe.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The host editor's template hosts a list with rows of its own, which carry their colour in their text.
struct ListDialog {
    ListDialog(COLORREF rowColour, const std::vector<std::string>& texts)
        : dialog(IDD_EDIT_ITEM, [this, rowColour, texts](HWND d) {
              list.SubclassDlgItem(IDC_ENTRY_LIST, d);
              list.InsertColumn(0, "one", 1000);
              list.SetHighlightMode(HighlightMode::OwnerDrawn);
              list.m_rowColour = rowColour;
              list.Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kBlack));
              for (size_t row = 0; row < texts.size(); ++row)
                  list.InsertItem(static_cast<int>(row), texts[row]);
          })
    {}
    RECT rowBounds(int row)
    {
        RECT rect = {};
        list.GetItemRect(row, rect, LVIR_BOUNDS);
        return rect;
    }
    CColourListCtrl list;
    qbtest::ScriptedDialog dialog;
};

int middle(const RECT& rect)
{
    return (rect.top + rect.bottom) / 2;
}

}  // namespace

// A valid number after "||" colours the row; none, or no number, keeps the
// list's colour; the bars and number never show; selection shows over any colour.
TEST(ColourList, RowColourComesFromTheTextAfterTheBars)
{
    ListDialog d(kRed, {"Mail||255", "Mail", "Mail||65280", "||abc", "Web||0"});
    d.dialog.run([&] {
        const Canvas picture(d.list);
        const int x = picture.width() - 4;  // right of every text
        const COLORREF expected[] = {kRed, kRed, kGreen, kBlack, kBlack};
        for (int row = 0; row < 5; ++row)
            EXPECT_EQ(picture.at(x, middle(d.rowBounds(row))), expected[row]) << "row " << row;

        const RECT suffixed = d.rowBounds(0);
        const RECT bare = d.rowBounds(1);
        const int offset = bare.top - suffixed.top;
        for (int y = suffixed.top; y < suffixed.bottom; ++y)
            for (int x2 = 0; x2 < picture.width(); ++x2)
                ASSERT_EQ(picture.at(x2, y), picture.at(x2, y + offset)) << "\"Mail||255\" shows \"Mail\" alone";
        EXPECT_GT(picture.ink(suffixed, kRed).count, 10) << "the title is drawn";
        EXPECT_EQ(picture.ink(d.rowBounds(3), kBlack).count, 0) << "nothing before the bars: empty label";

        // The highlight covers a selected row's colour; its text takes the highlight's text colour.
        d.list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        const Canvas selected(d.list);
        EXPECT_EQ(selected.at(x, middle(d.rowBounds(1))), GetSysColor(COLOR_HIGHLIGHT));
        EXPECT_EQ(selected.at(x, middle(d.rowBounds(0))), kRed);
        RECT label = {};
        d.list.GetItemRect(1, label, LVIR_LABEL);
        label.right = selected.width();
        EXPECT_GT(selected.count(label, GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);
    });
}
