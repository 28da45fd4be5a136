// The prompts and the confirmation box, shown for real and answered as a user would.
#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "launch/win32/InputDialogs.h"
#include "launch/win32/LaunchServices.h"
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
    struct Case {
        const char* name;
        std::string typed;
        std::function<void(HWND)> close;
        INT_PTR expected;
    };
    const Case cases[] = {
        {"ok, empty", "", [](HWND d) { postClick(d, IDOK); }, IDOK},
        {"ok", "-u ??? &x", [](HWND d) { postClick(d, IDOK); }, IDOK},
        {"enter", "x", key(VK_RETURN), IDOK},
        {"cancel button", "x", [](HWND d) { postClick(d, IDCANCEL); }, IDCANCEL},
        {"escape", "x", key(VK_ESCAPE), IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUserInputDlg dialog;
        bool focused = false;
        bool masked = true;
        DialogDriver driver([&](HWND d) {
            // Without a window manager a late focus event may deactivate the new window.
            if (GetActiveWindow() != d)
                SetActiveWindow(d);
            focused = GetFocus() == GetDlgItem(d, IDC_INPUT_TEXT);
            masked = fieldIsMasked(d);
            typeThen(c.typed, c.close)(d);
        });
        EXPECT_EQ(dialog.DoModal(), c.expected);
        if (c.expected == IDOK) {
            EXPECT_EQ(dialog.m_text, c.typed);
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

// The text on OK, nothing otherwise; a second prompt starts empty again.
TEST(InputPrompts, LaunchPromptsHandBackWhatWasTyped)
{
    DialogLaunchPrompts prompts(nullptr);
    DialogDriver driver;
    driver.next(typeThen("first", [](HWND d) { postClick(d, IDOK); }));
    driver.next(typeThen("-second", [](HWND d) { postClick(d, IDOK); }));
    driver.next(typeThen("pw", [](HWND d) { postClick(d, IDCANCEL); }));
    EXPECT_EQ(prompts.askUserInput(), std::optional<std::string>("first"));
    EXPECT_EQ(prompts.askUserInput(), std::optional<std::string>("-second"));
    EXPECT_EQ(prompts.askPassword(), std::nullopt);
}

}  // namespace
