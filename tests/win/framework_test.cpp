// The small window framework under Wine, in process: the modal loop, centring,
// the exception boundary, handle owners, and the resources the program ships.
#include "DialogDriver.h"

#include "res/resource.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

using qbtest::DialogDriver;
using qbtest::postClick;

namespace {

// The owner is disabled only while the dialog is open. (How each way of
// closing maps to a result is checked on the prompts.)
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

// Centred on the work area unless initialisation placed it.
class PlacingDialog : public win::Dialog
{
public:
    explicit PlacingDialog(bool place) : win::Dialog(IDD_USER_INPUT), m_place(place) {}

protected:
    BOOL OnInitDialog() override
    {
        win::Dialog::OnInitDialog();
        if (m_place)
            ::SetWindowPos(m_hwnd, HWND_TOP, 37, 41, 0, 0, SWP_NOSIZE);
        return TRUE;
    }

private:
    bool m_place;
};

TEST(DialogCentring, CentredOnWorkAreaOnlyWhenInitialisationDidNotPlaceIt)
{
    for (bool place : {false, true}) {
        SCOPED_TRACE(place);
        PlacingDialog dialog(place);
        RECT shown{};
        RECT work{};
        DialogDriver driver([&](HWND d) {
            ::GetWindowRect(d, &shown);
            ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            postClick(d, IDCANCEL);
        });
        ASSERT_EQ(dialog.DoModal(), IDCANCEL);
        const bool centred = std::abs((shown.left - work.left) - (work.right - shown.right)) <= 1 &&
                             std::abs((shown.top - work.top) - (work.bottom - shown.bottom)) <= 1;
        EXPECT_EQ(centred, !place);
        if (place) {
            EXPECT_EQ(std::make_pair(shown.left, shown.top), std::make_pair(37L, 41L));
        }
    }
}

// An exception from a handler ends the dialog and comes out of DoModal.
class ThrowingDialog : public win::Dialog
{
public:
    ThrowingDialog() : win::Dialog(IDD_USER_INPUT) {}

protected:
    bool OnCommand(int id, int, HWND) override
    {
        if (id == IDOK)
            throw std::runtime_error("handler failed");
        return false;
    }
};

// A control wrapper whose handler fails on a message of its own.
class ThrowingEdit : public win::Control
{
protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        if (message == WM_USER + 7)
            throw std::logic_error("control handler failed");
        return false;
    }
};

class DialogWithThrowingControl : public win::Dialog
{
public:
    DialogWithThrowingControl() : win::Dialog(IDD_USER_INPUT) {}
    ThrowingEdit m_edit;

protected:
    BOOL OnInitDialog() override
    {
        m_edit.SubclassDlgItem(IDC_INPUT_TEXT, m_hwnd);
        return win::Dialog::OnInitDialog();
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

    // A control's handler is reported the same way, not swallowed.
    DialogWithThrowingControl withControl;
    EXPECT_THROW(withControl.DoModal(), std::logic_error);
    EXPECT_EQ(withControl.GetSafeHwnd(), nullptr);
}

// Owners free their handles exactly once: a moved-from owner frees nothing,
// and selected objects go back into the DC before it is deleted.
TEST(HandleOwners, OwnersFreeTheirHandlesExactlyOnce)
{
    HGDIOBJ pen, brush, bitmap, dc;
    HICON icon;
    HMENU menu, subMenu;
    {
        win::Pen ownedPen(::CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        win::Brush ownedBrush(::CreateSolidBrush(RGB(4, 5, 6)));
        win::Bitmap ownedBitmap(::CreateBitmap(4, 4, 1, 1, nullptr));
        win::MemoryDC ownedDc(::CreateCompatibleDC(nullptr));
        win::Icon ownedIcon(win::loadIconResource(IDR_MAINFRAME, 16, 16));
        win::Menu ownedMenu(::CreatePopupMenu());
        pen = ownedPen;
        brush = ownedBrush;
        bitmap = ownedBitmap;
        dc = ownedDc;
        icon = ownedIcon;
        menu = ownedMenu;
        EXPECT_TRUE(ownedIcon);
        subMenu = ::CreatePopupMenu();
        ::AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(subMenu), "sub");

        win::Brush movedBrush(std::move(ownedBrush));
        EXPECT_FALSE(ownedBrush);
        EXPECT_NE(::GetObjectType(brush), 0u);

        const HGDIOBJ originalBrush = ::GetCurrentObject(ownedDc, OBJ_BRUSH);
        {
            win::SelectGuard selectBrush(ownedDc, movedBrush);
            win::SelectGuard selectBitmap(ownedDc, ownedBitmap);
            EXPECT_EQ(::GetCurrentObject(ownedDc, OBJ_BRUSH), brush);
        }
        EXPECT_EQ(::GetCurrentObject(ownedDc, OBJ_BRUSH), originalBrush);
    }
    for (HGDIOBJ h : {pen, brush, bitmap, dc})
        EXPECT_EQ(::GetObjectType(h), 0u);
    ICONINFO info{};
    EXPECT_FALSE(::GetIconInfo(icon, &info));
    EXPECT_FALSE(::IsMenu(menu));
    EXPECT_FALSE(::IsMenu(subMenu)) << "sub-menus go with their menu";
}

std::string resourceBytes(LPCSTR type)
{
    const HMODULE self = ::GetModuleHandleA(nullptr);
    const HRSRC found = ::FindResourceA(self, MAKEINTRESOURCEA(1), type);
    const char* data = found ? static_cast<const char*>(::LockResource(::LoadResource(self, found))) : nullptr;
    return data ? std::string(data, ::SizeofResource(self, found)) : std::string();
}

TEST(ProgramResources, ManifestAsksForCommonControls6ForThisArchitecture)
{
    const std::string manifest = resourceBytes(MAKEINTRESOURCEA(24));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
#ifdef _WIN64
    EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
#else
    EXPECT_NE(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
#endif
}

}  // namespace
