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

// The password prompt shows its box and its line only when asked (the e2e credentials script reads their texts and
// what the box keeps). Without the line it is the User Input prompt's size; the line adds a row above the field,
// and the box stays inside the window.
TEST(InputPrompts, PasswordPromptShowsItsBoxAndLineOnlyWhenAsked)
{
    auto heightOf = [](HWND d) {
        RECT r{};
        GetWindowRect(d, &r);
        return r.bottom - r.top;
    };
    int userHeight = 0;
    {
        CUserInputDlg user;
        DialogDriver driver([&](HWND d) {
            userHeight = heightOf(d);
            postClick(d, IDCANCEL);
        });
        user.DoModal();
    }
    const struct {
        bool offer, checked;
        std::string notice;
    } cases[] = {
        {false, false, ""},
        {true, false, ""},
        {true, true, "The command changed since this password was remembered."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notice + (c.offer ? " (offered)" : ""));
        CPasswordInputDlg dialog;
        dialog.m_offerToRemember = c.offer;
        dialog.m_remember = c.checked;
        dialog.m_notice = c.notice;
        int height = 0;
        bool boxShown = false, boxChecked = false, noticeShown = false, boxInside = false;
        DialogDriver driver([&](HWND d) {
            height = heightOf(d);
            const HWND box = GetDlgItem(d, IDC_REMEMBER_PASSWORD);
            boxShown = IsWindowVisible(box);
            boxChecked = IsDlgButtonChecked(d, IDC_REMEMBER_PASSWORD) == BST_CHECKED;
            noticeShown = IsWindowVisible(GetDlgItem(d, IDC_PASSWORD_NOTICE));
            RECT client{}, field{}, boxRect{};
            GetClientRect(d, &client);
            GetWindowRect(GetDlgItem(d, IDC_INPUT_TEXT), &field);
            GetWindowRect(box, &boxRect);
            MapWindowPoints(HWND_DESKTOP, d, reinterpret_cast<POINT*>(&field), 2);
            MapWindowPoints(HWND_DESKTOP, d, reinterpret_cast<POINT*>(&boxRect), 2);
            boxInside = boxRect.top >= field.bottom && boxRect.bottom <= client.bottom;
            postClick(d, IDOK);
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(boxShown, c.offer);
        EXPECT_EQ(boxChecked, c.checked);
        EXPECT_TRUE(boxInside);
        EXPECT_EQ(noticeShown, !c.notice.empty());
        if (c.notice.empty())
            EXPECT_EQ(height, userHeight);
        else
            EXPECT_GT(height, userHeight);
    }
}

}  // namespace
