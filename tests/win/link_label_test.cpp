// The link label on a real dialog: colours as the dialog asks for them, hot
// tracking with the capture, the fallback cursor, the failure message, and
// fitting to the text.
#include "editors_driver.h"

#include "controls/LinkLabel.h"
#include "res/resource.h"
#include "win/App.h"
#include "win/Dialog.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace editors_test;

namespace {

constexpr int kLinkId = 4321;

struct FakeLinkSystem : qb::LinkSystem {
    int shellResult = 42;
    int opens = 0;
    int shellOpen(const std::string&, int) override
    {
        ++opens;
        return shellResult;
    }
    bool readClassesRootDefault(const std::string&, std::string&) override { return false; }
    int startProgram(const std::string&, int) override { return 2; }
};

// Any dialog template will do as the label's parent; the label is a static
// added at run time.
class HostDialog : public win::Dialog
{
public:
    HostDialog(const std::string& text, DWORD style, const std::string& target)
        : win::Dialog(IDD_OPTIONS), m_text(text), m_style(style), m_target(target)
    {
    }

    CLinkLabel link;
    FakeLinkSystem system;
    RECT createdRect{10, 60, 210, 80};

protected:
    BOOL OnInitDialog() override
    {
        win::Dialog::OnInitDialog();
        HWND label = CreateWindowExA(0, "STATIC", m_text.c_str(), WS_CHILD | WS_VISIBLE | m_style,
                                     createdRect.left, createdRect.top, createdRect.right - createdRect.left,
                                     createdRect.bottom - createdRect.top, m_hwnd,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLinkId)), nullptr, nullptr);
        SendMessageA(label, WM_SETFONT, SendMessageA(m_hwnd, WM_GETFONT, 0, 0), FALSE);
        link.SetLinkSystem(system);
        if (!m_target.empty())
            link.SetTarget(m_target);
        link.SubclassWindow(label);
        return TRUE;
    }

private:
    std::string m_text;
    DWORD m_style;
    std::string m_target;
};

// The text colour the dialog gives the label when it paints.
COLORREF askedColour(HWND dialog)
{
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    const LRESULT brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, kLinkId)));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

void clickLabel(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kLinkId)));
}

void moveTo(HWND label, int x, int y)
{
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

} // namespace

TEST(LinkLabel, ColoursFollowHotVisitedAndFailedOpens)
{
    HostDialog dialog("https://q.example/", SS_LEFT, "");
    ScriptedDialogs dialogs;
    dialogs.on("Options", [&](HWND dlg) {
        HWND label = GetDlgItem(dlg, kLinkId);
        EXPECT_EQ(dialog.link.Target(), "https://q.example/");
        EXPECT_TRUE(GetWindowLongPtrA(label, GWL_STYLE) & SS_NOTIFY);
        EXPECT_EQ(askedColour(dlg), RGB(0, 0, 238));

        moveTo(label, 2, 2);
        EXPECT_TRUE(dialog.link.IsHot());
        EXPECT_EQ(GetCapture(), label);
        EXPECT_EQ(askedColour(dlg), GetSysColor(COLOR_HIGHLIGHT));
        moveTo(label, 2, 500);
        EXPECT_FALSE(dialog.link.IsHot());
        EXPECT_NE(GetCapture(), label);

        clickLabel(dlg);  // the fake shell succeeds
        EXPECT_EQ(dialog.system.opens, 1);
        EXPECT_EQ(askedColour(dlg), RGB(85, 26, 139));

        dialog.system.shellResult = 31;
        std::string message;
        dialogs.on(win::ExecutableName(), [&](HWND box) {
            message = itemText(box, 0xFFFF);
            postClick(box, IDOK);
        });
        clickLabel(dlg);
        EXPECT_EQ(message, "Unable to open hyperlink:\n\nThere is no application associated\n"
                           "with the given filename extension.");
        EXPECT_EQ(askedColour(dlg), RGB(0, 0, 238));
        postClick(dlg, IDCANCEL);
    });
    dialog.DoModal();
}

TEST(LinkLabel, TextAndTargetFillEachOtherAndAHandIsShown)
{
    HostDialog dialog("", SS_LEFT, "https://t.example/");
    ScriptedDialogs dialogs;
    dialogs.on("Options", [&](HWND dlg) {
        HWND label = GetDlgItem(dlg, kLinkId);
        EXPECT_EQ(itemText(dlg, kLinkId), "https://t.example/");
        EXPECT_NE(dialog.link.HandCursor(), nullptr);
        EXPECT_EQ(SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  TRUE);
        EXPECT_EQ(GetCursor(), dialog.link.HandCursor());
        LOGFONTA font{};
        GetObjectA(dialog.link.LinkFont(), sizeof font, &font);
        EXPECT_TRUE(font.lfUnderline);
        dialog.link.SetUnderlined(false);
        GetObjectA(dialog.link.LinkFont(), sizeof font, &font);
        EXPECT_FALSE(font.lfUnderline);
        postClick(dlg, IDCANCEL);
    });
    dialog.DoModal();
}

TEST(LinkLabel, FitsToItsTextKeepingTheAlignment)
{
    const std::pair<DWORD, const char*> cases[] = {{SS_LEFT, "left"}, {SS_CENTER, "centre"}, {SS_RIGHT, "right"}};
    for (const auto& [style, name] : cases) {
        SCOPED_TRACE(name);
        HostDialog dialog("ab", style, "");
        ScriptedDialogs dialogs;
        dialogs.on("Options", [&](HWND dlg) {
            RECT rect;
            GetWindowRect(GetDlgItem(dlg, kLinkId), &rect);
            MapWindowPoints(HWND_DESKTOP, dlg, reinterpret_cast<POINT*>(&rect), 2);
            const RECT& was = dialog.createdRect;
            EXPECT_LT(rect.right - rect.left, was.right - was.left);
            EXPECT_GT(rect.right - rect.left, 0);
            EXPECT_EQ(rect.top, was.top);
            if (style == SS_LEFT) {
                EXPECT_EQ(rect.left, was.left);
            } else if (style == SS_RIGHT) {
                EXPECT_EQ(rect.right, was.right);
            } else {
                EXPECT_LE(std::abs((rect.left + rect.right) - (was.left + was.right)), 1);
            }
            postClick(dlg, IDCANCEL);
        });
        dialog.DoModal();
    }
}
