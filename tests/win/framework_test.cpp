// The small window framework under Wine, in process: the modal loop, its
// pre-translation, centring, the exception boundary, handle owners, and the
// resources the program ships.
#include "DialogDriver.h"

#include "res/resource.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

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

// The modal loop offers a child's messages to the dialog before dispatch,
// after the control's own wrapper; what they consume goes no further.
class RecordingEdit : public win::Edit
{
public:
    int m_rightUpsReceived = 0;

    bool PreTranslateMessage(MSG& message) override { return message.message == WM_MBUTTONUP; }

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        m_rightUpsReceived += message == WM_RBUTTONUP;
        return false;
    }
};

class PreTranslatingDialog : public win::Dialog
{
public:
    PreTranslatingDialog() : win::Dialog(IDD_USER_INPUT) {}
    RecordingEdit m_edit;
    std::vector<MSG> m_seen;

protected:
    BOOL OnInitDialog() override
    {
        win::Dialog::OnInitDialog();
        m_edit.SubclassDlgItem(IDC_INPUT_TEXT, m_hwnd);
        return TRUE;
    }
    bool PreTranslateMessage(MSG& message) override
    {
        if (message.message == WM_RBUTTONUP || message.message == WM_MBUTTONUP) {
            m_seen.push_back(message);
            return true;
        }
        return message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE;
    }
};

TEST(DialogPreTranslate, SeesChildMessagesBeforeDispatchAndCanConsumeThem)
{
    PreTranslatingDialog dialog;
    HWND edit = nullptr;
    DialogDriver driver([&](HWND d) {
        edit = ::GetDlgItem(d, IDC_INPUT_TEXT);
        ::PostMessageA(edit, WM_RBUTTONUP, 0, MAKELPARAM(-3, 5));
        ::PostMessageA(edit, WM_MBUTTONUP, 0, 0);
        ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
        postClick(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK) << "Escape was consumed before the dialog manager";
    ASSERT_EQ(dialog.m_seen.size(), 1u) << "the edit's wrapper took the middle button";
    EXPECT_EQ(dialog.m_seen[0].message, static_cast<UINT>(WM_RBUTTONUP));
    EXPECT_EQ(dialog.m_seen[0].hwnd, edit);
    EXPECT_EQ(dialog.m_edit.m_rightUpsReceived, 0) << "a consumed message is not dispatched";
    EXPECT_EQ(dialog.m_edit.GetSafeHwnd(), nullptr) << "the subclass goes with the window";
}

// Centred on the work area unless initialisation moved it, even to where it
// already was; a resize alone does not count as placing it.
class PlacingDialog : public win::Dialog
{
public:
    enum class Placement {
        None,
        Elsewhere,
        SamePlace,
        ResizeOnly
    };
    explicit PlacingDialog(Placement placement) : win::Dialog(IDD_USER_INPUT), m_placement(placement) {}

protected:
    BOOL OnInitDialog() override
    {
        win::Dialog::OnInitDialog();
        const RECT r = GetWindowRect();
        if (m_placement == Placement::Elsewhere)
            ::SetWindowPos(m_hwnd, HWND_TOP, 37, 41, 0, 0, SWP_NOSIZE);
        else if (m_placement == Placement::SamePlace)
            ::SetWindowPos(m_hwnd, HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE);
        else if (m_placement == Placement::ResizeOnly)
            ::SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left + 20, r.bottom - r.top + 10,
                           SWP_NOMOVE | SWP_NOZORDER);
        return TRUE;
    }

private:
    Placement m_placement;
};

TEST(DialogCentring, CentredOnWorkAreaOnlyWhenInitialisationDidNotPlaceIt)
{
    using P = PlacingDialog::Placement;
    for (P placement : {P::None, P::ResizeOnly, P::Elsewhere, P::SamePlace}) {
        SCOPED_TRACE(static_cast<int>(placement));
        PlacingDialog dialog(placement);
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
        EXPECT_EQ(centred, placement == P::None || placement == P::ResizeOnly);
        if (placement == P::Elsewhere) {
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
