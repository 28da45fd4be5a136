// The link label on a real dialog: its colours as it goes hot, visited and back, and the failure text.
#include "../core/fakes.h"
#include "DialogDriver.h"

#include "controls/LinkLabel.h"
#include "res/resource.h"
#include "win/App.h"
#include "win/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr int kLinkId = 4321;

// The text colour the dialog gives the label when it paints.
COLORREF askedColour(HWND dialog)
{
    const win::MemoryDC dc(CreateCompatibleDC(nullptr));
    SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kLinkId)));
    return GetTextColor(dc);
}

}  // namespace

TEST(LinkLabel, ColoursFollowHotVisitedAndFailedOpens)
{
    // The shell opens the link; no program is registered to start it otherwise.
    qbtest::FakeLinkSystem system;
    system.startResult = 2;
    CLinkLabel link{system};
    // Any template will do as the parent; the label is a static added at run time.
    qbtest::ScriptedDialog dialog(IDD_OPTIONS, [&](HWND d) {
        link.SubclassWindow(CreateWindowExA(0, "STATIC", "https://q.example/", WS_CHILD | WS_VISIBLE, 10, 60, 200, 20,
                                            d, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLinkId)), nullptr,
                                            nullptr));
    });
    qbtest::DialogDriver dialogs;
    dialogs.on("Options", [&](HWND dlg) {
        HWND label = GetDlgItem(dlg, kLinkId);
        EXPECT_EQ(askedColour(dlg), RGB(0, 0, 238));

        // Hot while the pointer is over it, with the capture to notice it leaving.
        SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(GetCapture(), label);
        EXPECT_EQ(askedColour(dlg), GetSysColor(COLOR_HIGHLIGHT));
        SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(2, 500));
        EXPECT_NE(GetCapture(), label);

        qbtest::click(dlg, kLinkId);  // the fake shell succeeds
        EXPECT_EQ(system.opened, std::vector<std::string>{"https://q.example/"})
            << "the text stands in for a missing target";
        EXPECT_EQ(askedColour(dlg), RGB(85, 26, 139));

        // A failed open explains itself and the link is unvisited again.
        system.shellResult = 31;
        std::string message;
        dialogs.on(win::executableName(), [&](HWND box) {
            message = qbtest::itemText(box, 0xFFFF);
            qbtest::postClick(box, IDOK);
        });
        qbtest::click(dlg, kLinkId);
        EXPECT_EQ(message, "Unable to open hyperlink:\n\nThere is no application associated\n"
                           "with the given filename extension.");
        EXPECT_EQ(askedColour(dlg), RGB(0, 0, 238));
        qbtest::postClick(dlg, IDCANCEL);
    });
    dialog.DoModal();
}
