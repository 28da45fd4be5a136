// The password prompt shown for real: what the scripts cannot read off the screen.
#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "launch/win32/InputDialogs.h"
#include "res/resource.h"

// Typed into a masked field, handed back exactly, and wiped from the field before the window goes.
TEST(PasswordPrompt, MasksTheFieldAndWipesItBeforeClosing)
{
    const std::string typed = "s3cr&t pass";
    CPasswordInputDlg dialog;
    bool masked = false;
    std::string fieldAtDestroy = "(not destroyed)";
    qbtest::DialogDriver driver([&](HWND d) {
        const HWND field = GetDlgItem(d, IDC_INPUT_TEXT);
        masked = GetWindowLongPtrA(field, GWL_STYLE) & ES_PASSWORD;
        for (char c : typed)
            PostMessageA(field, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
        qbtest::postClick(d, IDOK);
    });
    driver.onDestroy([&](HWND d) { fieldAtDestroy = qbtest::itemText(d, IDC_INPUT_TEXT); });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_text, typed);
    EXPECT_TRUE(masked);
    EXPECT_EQ(fieldAtDestroy, "");
}
