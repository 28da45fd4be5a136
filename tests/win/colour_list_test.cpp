// The owner-drawn list under Wine: its rows as the list paints them into a
// bitmap.
#include "controls/ColourListCtrl.h"
#include "controls/IconStrip.h"
#include "res/resource.h"
#include "win/Dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "PixelProbe.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Rows kept by the test, as the main window keeps its own: its template
// makes an owner-data list, which asks for each row as it draws it.
struct TextRows final : ListRowSource {
    std::vector<std::string> texts;
    int image = 0;
    std::string RowText(int row) const override { return texts.at(static_cast<size_t>(row)); }
    int RowImage(int) const override { return image; }
};

// The main window's template hosts the list; `setup` fills it, and `body`
// runs inside the modal loop once the dialog is up, then ends it.
class ListDialog : public win::Dialog
{
public:
    ListDialog() : win::Dialog(IDD_MAIN) {}

    TextRows rows;
    CColourListCtrl list;
    std::function<void(ListDialog&)> setup;

    void run(std::function<void(ListDialog&)> body)
    {
        qbtest::DialogDriver driver([&](HWND) {
            body(*this);
            EndDialog(IDOK);
        });
        ASSERT_EQ(DoModal(), IDOK);
    }

protected:
    BOOL OnInitDialog() override
    {
        win::Dialog::OnInitDialog();
        list.SubclassDlgItem(IDC_HOST_LIST, m_hwnd);
        if (setup)
            setup(*this);
        return TRUE;
    }
};

RECT rowBounds(ListDialog& dialog, int row)
{
    RECT rect = {};
    dialog.list.GetItemRect(row, rect, LVIR_BOUNDS);
    return rect;
}

int middle(const RECT& rect)
{
    return (rect.top + rect.bottom) / 2;
}

void fillList(ListDialog& dialog, COLORREF rowColour, const std::vector<std::string>& rows, bool icons)
{
    auto& list = dialog.list;
    list.InsertColumn(0, "one", 1000);
    list.SetHighlightMode(HighlightMode::OwnerDrawn);
    list.m_rowColour = rowColour;
    list.Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kBlack));
    if (icons)
        list.SetImageList(createSharedImageListFromResources(GetModuleHandleA(nullptr)), LVSIL_SMALL);
    dialog.rows.texts = rows;
    dialog.rows.image = 71;
    list.SetRowSource(&dialog.rows);
    list.SetItemCount(static_cast<int>(rows.size()));
}

}  // namespace

// A valid number after "||" colours the row; none, or no number, keeps the
// list's colour; the bars and number never show.
TEST(ColourList, RowColourComesFromTheTextAfterTheBars)
{
    ListDialog dialog;
    dialog.setup = [](ListDialog& d) {
        fillList(d, kRed, {"Mail||255", "Mail", "Mail||65280", "||abc", "Web||0"}, false);
    };
    dialog.run([](ListDialog& d) {
        const Canvas picture(d.list);
        const int x = picture.width() - 4;  // right of every text
        const COLORREF expected[] = {kRed, kRed, kGreen, kBlack, kBlack};
        for (int row = 0; row < 5; ++row)
            EXPECT_EQ(picture.at(x, middle(rowBounds(d, row))), expected[row]) << "row " << row;

        const RECT suffixed = rowBounds(d, 0);
        const RECT bare = rowBounds(d, 1);
        const int offset = bare.top - suffixed.top;
        for (int y = suffixed.top; y < suffixed.bottom; ++y)
            for (int x2 = 0; x2 < picture.width(); ++x2)
                ASSERT_EQ(picture.at(x2, y), picture.at(x2, y + offset)) << "\"Mail||255\" shows \"Mail\" alone";
        EXPECT_GT(picture.ink(suffixed, kRed).count, 10) << "the title is drawn";
        EXPECT_EQ(picture.ink(rowBounds(d, 3), kBlack).count, 0) << "nothing before the bars: empty label";
    });
}

TEST(ColourList, SelectedRowIsHighlightedWithBlendedIcon)
{
    ListDialog dialog;
    dialog.setup = [](ListDialog& d) { fillList(d, kWhite, {"Alpha", "Alpha"}, true); };
    dialog.run([](ListDialog& d) {
        d.list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        const Canvas picture(d.list);
        const RECT plain = rowBounds(d, 0);
        const RECT selected = rowBounds(d, 1);
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        EXPECT_EQ(picture.at(picture.width() - 4, middle(selected)), highlight);
        EXPECT_EQ(picture.at(picture.width() - 4, middle(plain)), kWhite);

        RECT label = {};
        d.list.GetItemRect(1, label, LVIR_LABEL);
        label.right = picture.width();
        EXPECT_GT(picture.count(label, GetSysColor(COLOR_HIGHLIGHTTEXT)), 0) << "text in highlight text colour";

        // The icon stays visible but mixed with the highlight (a true mix on
        // some platforms, every other pixel on others).
        RECT icon = {};
        d.list.GetItemRect(0, icon, LVIR_ICON);
        const int offset = selected.top - plain.top;
        int drawn = 0;
        int changed = 0;
        int stillIcon = 0;
        for (int y = icon.top; y < icon.top + kIconSize; ++y)
            for (int x = icon.left; x < icon.left + kIconSize; ++x) {
                const COLORREF before = picture.at(x, y);
                const COLORREF after = picture.at(x, y + offset);
                if (before != kWhite) {
                    ++drawn;
                    changed += after != before;
                    stillIcon += after != highlight;
                }
            }
        EXPECT_GT(drawn, 40) << "icon 71 drawn on the plain row";
        EXPECT_GT(changed, drawn / 4) << "blended on the selected row";
        EXPECT_GT(stillIcon, drawn / 4) << "and still visible there";
    });
}
