// The prompts and the confirmation box, shown for real and answered as a user would.
#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <tuple>

#include "launch/win32/InputDialogs.h"
#include "res/resource.h"

using namespace qbtest;

namespace {

// Types into the field, then closes the prompt with `close`.
DialogDriver::Script typeThen(std::string text, std::function<void(HWND)> close)
{
    return [text, close](HWND dialog) {
        for (char c : text)
            PostMessageA(GetDlgItem(dialog, IDC_INPUT_TEXT), WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
        close(dialog);
    };
}

bool fieldIsMasked(HWND dialog)
{
    return GetWindowLongPtrA(GetDlgItem(dialog, IDC_INPUT_TEXT), GWL_STYLE) & ES_PASSWORD;
}

// OK and Enter hand back exactly what was typed; every other way out is Cancel.
TEST(InputPrompts, OkAndEnterReturnTheTextEveryOtherWayOutCancels)
{
    auto key = [](UINT vk) { return [vk](HWND d) { PostMessageA(GetDlgItem(d, IDC_INPUT_TEXT), WM_KEYDOWN, vk, 1); }; };
    const std::tuple<std::string, std::function<void(HWND)>, INT_PTR> cases[] = {
        {"-u ??? &x", [](HWND d) { postClick(d, IDOK); }, IDOK},
        {"enter", key(VK_RETURN), IDOK},
        {"cancel button", [](HWND d) { postClick(d, IDCANCEL); }, IDCANCEL},
        {"escape", key(VK_ESCAPE), IDCANCEL},
    };
    for (const auto& [typed, close, expected] : cases) {
        SCOPED_TRACE(typed);
        CUserInputDlg dialog;
        bool focused = false;
        bool masked = true;
        DialogDriver driver([&](HWND d) {
            // Without a window manager a late focus event may deactivate the new window.
            if (GetActiveWindow() != d)
                SetActiveWindow(d);
            focused = GetFocus() == GetDlgItem(d, IDC_INPUT_TEXT);
            masked = fieldIsMasked(d);
            typeThen(typed, close)(d);
        });
        EXPECT_EQ(dialog.DoModal(), expected);
        if (expected == IDOK) {
            EXPECT_EQ(dialog.m_text, typed);
        }
        EXPECT_TRUE(focused && !masked);
    }
}

// The password is masked, read unchanged, and wiped from the field before the window goes.
TEST(InputPrompts, PasswordIsMaskedReadUnchangedAndWipedFromTheField)
{
    for (int button : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(button);
        CPasswordInputDlg dialog;
        bool masked = false;
        std::string fieldAtDestroy = "(not destroyed)";
        DialogDriver driver([&](HWND d) {
            masked = fieldIsMasked(d);
            typeThen("s3cr&t pass", [button](HWND d) { postClick(d, button); })(d);
        });
        driver.onDestroy([&](HWND d) { fieldAtDestroy = itemText(d, IDC_INPUT_TEXT); });
        EXPECT_EQ(dialog.DoModal(), button);
        if (button == IDOK) {
            EXPECT_EQ(dialog.m_text, "s3cr&t pass");
        }
        EXPECT_TRUE(masked);
        EXPECT_EQ(fieldAtDestroy, "");
    }
}

}  // namespace
