// The owner-drawn list under Wine: what its rows look like (pixels read back
// from the list painting itself into a bitmap), the highlight-mode rules, and
// what it tells or hides from its parent.
#include "controls/ColourListCtrl.h"
#include "controls/IconStrip.h"
#include "res/resource.h"
#include "win/Dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The main window's template hosts the list; the test fills it as it likes.
class ListDialog : public win::Dialog
{
public:
    ListDialog() : win::Dialog(IDD_MAIN) {}

    CColourListCtrl list;
    std::function<void(ListDialog&)> setup;
    std::vector<int> commands;
    std::vector<UINT> notifications;

protected:
    BOOL OnInitDialog() override
    {
        win::Dialog::OnInitDialog();
        list.SubclassDlgItem(IDC_HOST_LIST, m_hwnd);
        if (setup) {
            setup(*this);
        }
        return TRUE;
    }
    bool OnCommand(int id, int code, HWND control) override
    {
        commands.push_back(id);
        return id != IDOK && id != IDCANCEL;
    }
    bool OnNotify(NMHDR& header, LRESULT& result) override
    {
        notifications.push_back(header.code);
        return false;
    }
};

// Runs `body` inside the dialog's modal loop, then ends the dialog.
void runInside(ListDialog& dialog, std::function<void(ListDialog&)> body)
{
    static thread_local ListDialog* s_dialog;
    static thread_local std::function<void(ListDialog&)>* s_body;
    s_dialog = &dialog;
    s_body = &body;
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        (*s_body)(*s_dialog);
        s_dialog->EndDialog(IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

// The list's client area as the list paints it.
class Picture
{
public:
    explicit Picture(HWND window)
    {
        RECT client;
        GetClientRect(window, &client);
        m_width = client.right;
        m_height = client.bottom;
        HDC screen = GetDC(window);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, m_width, m_height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
        m_pixels.resize(static_cast<size_t>(m_width) * m_height);
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                m_pixels[static_cast<size_t>(y) * m_width + x] = GetPixel(memory, x, y);
            }
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window, screen);
    }

    int width() const { return m_width; }
    COLORREF at(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }

    // Pixels of `area` that differ from `background`, and their x extent.
    struct Ink {
        int count = 0;
        int left = INT_MAX;
        int right = -1;
    };
    Ink ink(const RECT& area, COLORREF background) const
    {
        Ink result;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right && x < m_width; ++x) {
                if (at(x, y) != background) {
                    ++result.count;
                    result.left = std::min(result.left, x);
                    result.right = std::max(result.right, x);
                }
            }
        }
        return result;
    }

    bool sameRows(const RECT& a, const RECT& b) const
    {
        for (int y = 0; y < a.bottom - a.top; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (at(x, a.top + y) != at(x, b.top + y)) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<COLORREF> m_pixels;
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

void mainListSetup(ListDialog& dialog, COLORREF rowColour, const std::vector<std::string>& rows, bool icons)
{
    auto& list = dialog.list;
    list.InsertColumn(0, "one", 1000);
    list.SetHighlightMode(1);
    list.m_rowColour = rowColour;
    list.Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kBlack));
    if (icons) {
        list.SetImageList(CreateSharedImageListFromResources(GetModuleHandleA(nullptr)), LVSIL_SMALL);
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        list.InsertItem(static_cast<int>(i), rows[i], 71);
    }
}

}  // namespace

TEST(ColourList, RowColourComesFromTheTextAfterTheBars)
{
    ListDialog dialog;
    dialog.setup = [](ListDialog& d) {
        mainListSetup(d, kRed, {"Mail||255", "Mail", "Mail||65280", "||abc", "Web||0"}, false);
    };
    runInside(dialog, [](ListDialog& d) {
        const Picture picture(d.list);
        const int x = picture.width() - 4;  // right of every text
        struct Row {
            int row;
            COLORREF colour;
        };
        for (const Row& r : {Row{0, kRed}, Row{1, kRed}, Row{2, kGreen}, Row{3, kBlack}, Row{4, kBlack}}) {
            EXPECT_EQ(picture.at(x, middle(rowBounds(d, r.row))), r.colour) << "row " << r.row;
        }
        // "Mail||255" shows "Mail" alone: the same pixels as "Mail" on the
        // same red default.
        EXPECT_TRUE(picture.sameRows(rowBounds(d, 0), rowBounds(d, 1)));
        EXPECT_GT(picture.ink(rowBounds(d, 0), kRed).count, 10) << "the title is drawn";
        // Nothing before the bars: an empty label on the row colour.
        EXPECT_EQ(picture.ink(rowBounds(d, 3), kBlack).count, 0);
    });
}

TEST(ColourList, SelectedRowIsHighlightedWithBlendedIcon)
{
    ListDialog dialog;
    dialog.setup = [](ListDialog& d) { mainListSetup(d, kWhite, {"Alpha", "Alpha"}, true); };
    runInside(dialog, [](ListDialog& d) {
        d.list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        const Picture picture(d.list);
        const RECT plain = rowBounds(d, 0);
        const RECT selected = rowBounds(d, 1);
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        EXPECT_EQ(picture.at(picture.width() - 4, middle(selected)), highlight);
        EXPECT_EQ(picture.at(picture.width() - 4, middle(plain)), kWhite);

        // The text is in the highlight text colour.
        RECT label = {};
        d.list.GetItemRect(1, label, LVIR_LABEL);
        bool highlightText = false;
        for (int x = label.left; x < picture.width() && !highlightText; ++x) {
            for (int y = label.top; y < label.bottom; ++y) {
                highlightText = highlightText || picture.at(x, y) == GetSysColor(COLOR_HIGHLIGHTTEXT);
            }
        }
        EXPECT_TRUE(highlightText);

        // The icon is still there, but mixed with the highlight (a true mix
        // on some platforms, every other pixel on others).
        RECT icon = {};
        d.list.GetItemRect(0, icon, LVIR_ICON);
        const int iconOffset = selected.top - plain.top;
        int drawn = 0;
        int changed = 0;
        int stillIcon = 0;
        for (int y = icon.top; y < icon.top + kIconSize; ++y) {
            for (int x = icon.left; x < icon.left + kIconSize; ++x) {
                const COLORREF before = picture.at(x, y);
                const COLORREF after = picture.at(x, y + iconOffset);
                if (before != kWhite) {
                    ++drawn;
                    changed += after != before;
                    stillIcon += after != highlight;
                }
            }
        }
        EXPECT_GT(drawn, 40) << "icon 71 drawn on the plain row";
        EXPECT_GT(changed, drawn / 4) << "blended on the selected row";
        EXPECT_GT(stillIcon, drawn / 4) << "and still visible there";
    });
}

TEST(ColourList, FurtherColumnsFollowTheirAlignment)
{
    struct Case {
        int format;
        const char* what;
    };
    const Case cases[] = {{LVCFMT_LEFT, "left"}, {LVCFMT_RIGHT, "right"}, {LVCFMT_CENTER, "centre"}};
    constexpr int kFirstWidth = 30;
    constexpr int kWidth = 36;
    ListDialog dialog;
    dialog.setup = [&](ListDialog& d) {
        auto& list = d.list;
        list.InsertColumn(0, "first", kFirstWidth);
        for (int c = 0; c < 3; ++c) {
            list.InsertColumn(c + 1, "c", kWidth, cases[c].format);
        }
        list.SetHighlightMode(1);
        list.m_rowColour = kWhite;
        list.Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kBlack));
        list.InsertItem(0, "");
        for (int c = 1; c <= 3; ++c) {
            list.SetItemText(0, c, "i");
        }
    };
    runInside(dialog, [&](ListDialog& d) {
        const Picture picture(d.list);
        const RECT bounds = rowBounds(d, 0);
        for (int c = 0; c < 3; ++c) {
            const int left = bounds.left + kFirstWidth + c * kWidth;
            const RECT cell = {left, bounds.top, left + kWidth, bounds.bottom};
            const auto ink = picture.ink(cell, kWhite);
            ASSERT_GT(ink.count, 0) << cases[c].what;
            const int centre = (ink.left + ink.right) / 2 - left;
            switch (cases[c].format) {
            case LVCFMT_LEFT:
                EXPECT_LT(centre, kWidth / 3) << cases[c].what;
                break;
            case LVCFMT_RIGHT:
                EXPECT_GT(centre, 2 * kWidth / 3) << cases[c].what;
                break;
            default:
                EXPECT_NEAR(centre, kWidth / 2, 3) << cases[c].what;
                break;
            }
        }
    });
}

TEST(ColourList, HighlightModeRules)
{
    ListDialog dialog;
    runInside(dialog, [](ListDialog& d) {
        auto& list = d.list;
        const auto ownerDrawn = [&] { return (list.GetStyle() & LVS_OWNERDRAWFIXED) != 0; };
        EXPECT_EQ(list.GetHighlightMode(), 0);
        EXPECT_FALSE(ownerDrawn());
        EXPECT_EQ(list.SetHighlightMode(1), 0);
        EXPECT_TRUE(ownerDrawn());
        EXPECT_EQ(list.SetHighlightMode(3), 1) << "3 answers the current mode";
        EXPECT_EQ(list.GetHighlightMode(), 1) << "and changes nothing";
        EXPECT_EQ(list.SetHighlightMode(0), 1);
        EXPECT_TRUE(ownerDrawn()) << "the owner-draw style is never taken away";
        EXPECT_EQ(list.SetHighlightMode(2), 0);
        EXPECT_EQ(list.GetHighlightMode(), 2);
    });
}

TEST(ColourList, TellsTheParentAboutNavigationAndHidesDragging)
{
    ListDialog dialog;
    dialog.setup = [](ListDialog& d) {
        d.list.ModifyStyle(LVS_SINGLESEL, 0);
        mainListSetup(d, kWhite, {"a", "b", "c"}, false);
    };
    runInside(dialog, [](ListDialog& d) {
        auto& list = d.list;
        struct Key {
            WPARAM key;
            bool navigates;
        };
        for (const Key k : {Key{VK_NEXT, true}, Key{VK_DOWN, true}, Key{VK_HOME, true}, Key{VK_LEFT, false},
                            Key{VK_RETURN, false}}) {
            d.commands.clear();
            list.Send(WM_KEYDOWN, k.key, 0);
            const bool told = std::count(d.commands.begin(), d.commands.end(), CmdListNavigate) == 1;
            EXPECT_EQ(told, k.navigates) << "key " << k.key;
        }

        // A without Ctrl selects nothing more.
        list.SetItemState(-1, 0, LVIS_SELECTED);
        list.Send(WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);

        NMLISTVIEW drag = {};
        drag.hdr = {list, IDC_HOST_LIST, static_cast<UINT>(LVN_BEGINDRAG)};
        NMHDR click = {list, IDC_HOST_LIST, static_cast<UINT>(NM_DBLCLK)};
        d.notifications.clear();
        SendMessageA(d, WM_NOTIFY, IDC_HOST_LIST, reinterpret_cast<LPARAM>(&drag));
        SendMessageA(d, WM_NOTIFY, IDC_HOST_LIST, reinterpret_cast<LPARAM>(&click));
        ASSERT_EQ(d.notifications.size(), 1u) << "only the double click reaches the owner";
        EXPECT_EQ(d.notifications[0], static_cast<UINT>(NM_DBLCLK));
    });
}
