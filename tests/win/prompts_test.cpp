// The launch prompts, shown for real and answered as a user would.
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

// OK and Enter hand back exactly what was typed; every other way out is Cancel. Only the password
// is masked, and it is wiped from the field before the window goes.
TEST(InputPrompts, OkAndEnterReturnTheTextEveryOtherWayOutCancels)
{
    auto key = [](UINT vk) { return [vk](HWND d) { PostMessageA(GetDlgItem(d, IDC_INPUT_TEXT), WM_KEYDOWN, vk, 1); }; };
    auto button = [](int id) { return [id](HWND d) { postClick(d, id); }; };
    const std::tuple<bool, std::string, std::function<void(HWND)>, INT_PTR> cases[] = {
        {false, "-u ??? &x", button(IDOK), IDOK},      {false, "enter", key(VK_RETURN), IDOK},
        {false, "cancel", button(IDCANCEL), IDCANCEL}, {false, "escape", key(VK_ESCAPE), IDCANCEL},
        {true, "s3cr&t pass", button(IDOK), IDOK},     {true, "s3cr&t pass", button(IDCANCEL), IDCANCEL},
    };
    for (const auto& [password, typed, close, expected] : cases) {
        SCOPED_TRACE(typed + (password ? " (password)" : ""));
        CUserInputDlg user;
        CPasswordInputDlg secret;
        CInputPromptDlg& dialog = password ? static_cast<CInputPromptDlg&>(secret) : user;
        bool focused = false;
        bool masked = !password;
        std::string fieldAtDestroy = "(not destroyed)";
        DialogDriver driver([&](HWND d) {
            // Without a window manager a late focus event may deactivate the new window.
            if (GetActiveWindow() != d)
                SetActiveWindow(d);
            const HWND field = GetDlgItem(d, IDC_INPUT_TEXT);
            focused = GetFocus() == field;
            masked = GetWindowLongPtrA(field, GWL_STYLE) & ES_PASSWORD;
            for (char c : typed)
                PostMessageA(field, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
            close(d);
        });
        driver.onDestroy([&](HWND d) { fieldAtDestroy = itemText(d, IDC_INPUT_TEXT); });
        EXPECT_EQ(dialog.DoModal(), expected);
        if (expected == IDOK) {
            EXPECT_EQ(dialog.m_text, typed);
        }
        EXPECT_TRUE(focused);
        EXPECT_EQ(masked, password);
        if (password) {
            EXPECT_EQ(fieldAtDestroy, "");
        }
    }
}

}  // namespace
