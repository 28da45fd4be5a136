// The small window framework under Wine: the modal loop, the exception boundary, handle owners.
#include "DialogDriver.h"

#include "res/resource.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using qbtest::DialogDriver;
using qbtest::postClick;

namespace {

// The owner is disabled only while the dialog is open (the prompts test each way of closing).
TEST(DialogModal, OwnerDisabledWhileOpenAndMissingTemplateFails)
{
    const HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 50, nullptr, nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr);
    win::Dialog dialog(IDD_USER_INPUT, owner);
    bool ownerEnabledWhileOpen = true;
    DialogDriver driver([&](HWND d) {
        ownerEnabledWhileOpen = ::IsWindowEnabled(owner) != FALSE;
        postClick(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(ownerEnabledWhileOpen);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
    EXPECT_EQ(win::Dialog(4242).DoModal(), -1) << "a missing template";
}

class ThrowingEdit : public win::Control
{
public:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        if (message == WM_USER + 7)
            throw std::logic_error("control handler failed");
        return false;
    }
};

// Its OK handler throws, and so does its field's handler of WM_USER + 7.
class ThrowingDialog : public win::Dialog
{
public:
    ThrowingDialog() : win::Dialog(IDD_USER_INPUT) {}
    ThrowingEdit m_edit;
    BOOL OnInitDialog() override
    {
        m_edit.SubclassDlgItem(IDC_INPUT_TEXT, m_hwnd);
        return win::Dialog::OnInitDialog();
    }
    bool OnCommand(int id, int, HWND) override
    {
        if (id == IDOK)
            throw std::runtime_error("handler failed");
        return false;
    }
};

TEST(DialogExceptions, HandlerExceptionEndsDialogAndIsRethrown)
{
    DialogDriver driver;
    driver.next([](HWND d) { postClick(d, IDOK); });
    driver.next([](HWND d) { PostMessageA(GetDlgItem(d, IDC_INPUT_TEXT), WM_USER + 7, 0, 0); });
    ThrowingDialog dialog;
    EXPECT_THROW(dialog.DoModal(), std::runtime_error);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_THROW(ThrowingDialog().DoModal(), std::logic_error);
}

// Owners free their handles exactly once: a moved-from owner frees nothing,
// and selected objects go back into the DC before it is deleted.
TEST(HandleOwners, OwnersFreeTheirHandlesExactlyOnce)
{
    const HBRUSH brush = ::CreateSolidBrush(RGB(4, 5, 6));
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HMENU menu = ::CreatePopupMenu();
    {
        win::Brush ownedBrush(brush);
        win::MemoryDC ownedDc(dc);
        win::Menu ownedMenu(menu);
        win::Brush movedBrush(std::move(ownedBrush));
        EXPECT_FALSE(ownedBrush);
        const HGDIOBJ originalBrush = ::GetCurrentObject(dc, OBJ_BRUSH);
        {
            win::SelectGuard selectBrush(ownedDc, movedBrush);
            EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), brush);
        }
        EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), originalBrush);
    }
    EXPECT_EQ(::GetObjectType(brush), 0u);
    EXPECT_EQ(::GetObjectType(dc), 0u);
    EXPECT_FALSE(::IsMenu(menu));
}

}  // namespace
