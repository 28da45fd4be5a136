// The small window framework under Wine, in process: modal results, data
// exchange, the modal loop's pre-translation, centring, message reflection,
// the exception boundary, handle owners, and the resources the program ships.
#include "res/resource.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Drives one modal dialog from outside, as a user would: a thread-local CBT
// hook notices the dialog being activated, then `act` runs from the message
// loop (a short timer, so not inside the activation). A safety timer cancels
// whatever dialog is open so that a test can never hang.
class ModalDriver
{
public:
    explicit ModalDriver(std::function<void(HWND)> act) : m_act(std::move(act))
    {
        s_current = this;
        m_hook = ::SetWindowsHookExA(WH_CBT, &ModalDriver::CbtProc, nullptr, ::GetCurrentThreadId());
        m_safety = ::SetTimer(nullptr, 0, 5000, &ModalDriver::SafetyProc);
    }
    ~ModalDriver()
    {
        ::KillTimer(nullptr, m_safety);
        if (m_actTimer)
            ::KillTimer(nullptr, m_actTimer);
        ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    HWND dialog() const { return m_dialog; }
    bool timedOut() const { return m_timedOut; }

private:
    static bool isDialog(HWND hwnd)
    {
        char name[16] = {};
        ::GetClassNameA(hwnd, name, sizeof name);
        return std::string(name) == "#32770";
    }

    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
    {
        ModalDriver* self = s_current;
        if (self && code == HCBT_ACTIVATE && !self->m_dialog && isDialog(reinterpret_cast<HWND>(wParam))) {
            self->m_dialog = reinterpret_cast<HWND>(wParam);
            self->m_actTimer = ::SetTimer(nullptr, 0, 10, &ModalDriver::ActProc);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static void CALLBACK ActProc(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        ModalDriver* self = s_current;
        if (!self)
            return;
        self->m_actTimer = 0;
        if (self->m_act && ::IsWindow(self->m_dialog))
            self->m_act(self->m_dialog);
    }

    static BOOL CALLBACK CancelDialog(HWND hwnd, LPARAM)
    {
        if (isDialog(hwnd))
            ::PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }

    static void CALLBACK SafetyProc(HWND, UINT, UINT_PTR, DWORD)
    {
        if (ModalDriver* self = s_current)
            self->m_timedOut = true;
        ::EnumThreadWindows(::GetCurrentThreadId(), &ModalDriver::CancelDialog, 0);
    }

    static thread_local ModalDriver* s_current;
    std::function<void(HWND)> m_act;
    HHOOK m_hook = nullptr;
    UINT_PTR m_safety = 0;
    UINT_PTR m_actTimer = 0;
    HWND m_dialog = nullptr;
    bool m_timedOut = false;
};

thread_local ModalDriver* ModalDriver::s_current = nullptr;

void click(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void pressKey(HWND target, WPARAM key)
{
    ::PostMessageA(target, WM_KEYDOWN, key, 1);
    ::PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

// The options template: a check box and three edits, OK and Cancel.
class OptionsLikeDialog : public win::Dialog
{
public:
    OptionsLikeDialog() : win::Dialog(IDD_OPTIONS) {}
    std::string m_path;
    bool m_hide = false;

protected:
    void DoDataExchange(win::DataExchange& dx) override
    {
        dx.check(IDC_HIDE_TASKBAR_BUTTON, m_hide);
        dx.text(IDC_ALTERNATE_BROWSER_PATH, m_path);
    }
};

// ---------------------------------------------------------------------------

TEST(DialogModal, ResultFollowsHowTheDialogWasClosed)
{
    struct Case
    {
        const char* name;
        std::function<void(HWND)> close;
        INT_PTR expected;
    };
    const std::vector<Case> cases = {
        {"OK button", [](HWND d) { click(d, IDOK); }, IDOK},
        {"Cancel button", [](HWND d) { click(d, IDCANCEL); }, IDCANCEL},
        {"close box", [](HWND d) { ::PostMessageA(d, WM_CLOSE, 0, 0); }, IDCANCEL},
        {"Enter in the edit", [](HWND d) { pressKey(::GetDlgItem(d, IDC_INPUT_TEXT), VK_RETURN); }, IDOK},
        {"Escape in the edit", [](HWND d) { pressKey(::GetDlgItem(d, IDC_INPUT_TEXT), VK_ESCAPE); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        win::Dialog dialog(IDD_USER_INPUT);
        ModalDriver driver(c.close);
        EXPECT_EQ(dialog.DoModal(), c.expected);
        EXPECT_FALSE(driver.timedOut());
        EXPECT_FALSE(::IsWindow(driver.dialog()));
    }
}

TEST(DialogModal, MissingTemplateFailsWithMinusOne)
{
    win::Dialog dialog(4242);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(DialogModal, OwnerIsDisabledWhileOpenAndEnabledAfter)
{
    const HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 50,
                                         nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    bool enabledWhileOpen = true;
    HWND ownerSeen = nullptr;
    {
        win::Dialog dialog(IDD_USER_INPUT, owner);
        ModalDriver driver([&](HWND d) {
            enabledWhileOpen = ::IsWindowEnabled(owner) != FALSE;
            ownerSeen = ::GetWindow(d, GW_OWNER);
            click(d, IDOK);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
    }
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_EQ(ownerSeen, owner);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

TEST(DialogDataExchange, ValuesTravelInAtStartAndOutOnlyOnOk)
{
    struct Case
    {
        int button;
        INT_PTR result;
        const char* pathAfter;
        bool hideAfter;
    };
    for (const Case& c : {Case{IDOK, IDOK, "d:\\other browser.exe", false},
                          Case{IDCANCEL, IDCANCEL, "c:\\browser.exe", true}}) {
        SCOPED_TRACE(c.button);
        OptionsLikeDialog dialog;
        dialog.m_path = "c:\\browser.exe";
        dialog.m_hide = true;
        std::string shownPath;
        UINT shownCheck = BST_UNCHECKED;
        ModalDriver driver([&](HWND d) {
            shownPath = win::GetWindowTextString(::GetDlgItem(d, IDC_ALTERNATE_BROWSER_PATH));
            shownCheck = ::IsDlgButtonChecked(d, IDC_HIDE_TASKBAR_BUTTON);
            ::SetDlgItemTextA(d, IDC_ALTERNATE_BROWSER_PATH, "d:\\other browser.exe");
            ::CheckDlgButton(d, IDC_HIDE_TASKBAR_BUTTON, BST_UNCHECKED);
            click(d, c.button);
        });
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(shownPath, "c:\\browser.exe");
        EXPECT_EQ(shownCheck, static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(dialog.m_path, c.pathAfter);
        EXPECT_EQ(dialog.m_hide, c.hideAfter);
    }
}

TEST(DialogDataExchange, LongTextIsNotCut)
{
    OptionsLikeDialog dialog;
    const std::string longPath(5000, 'x');
    ModalDriver driver([&](HWND d) {
        ::SendDlgItemMessageA(d, IDC_ALTERNATE_BROWSER_PATH, EM_SETLIMITTEXT, 0, 0);
        ::SetDlgItemTextA(d, IDC_ALTERNATE_BROWSER_PATH, longPath.c_str());
        click(d, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_path, longPath);
}

// ---------------------------------------------------------------------------
// Pre-translation: the dialog sees messages for its children before dispatch,
// after the wrappers of the controls on the way.

class RecordingEdit : public win::Edit
{
public:
    int m_rightUpsReceived = 0;
    bool m_consumeMiddleUp = false;

    bool PreTranslateMessage(MSG& message) override
    {
        return m_consumeMiddleUp && message.message == WM_MBUTTONUP;
    }

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        if (message == WM_RBUTTONUP)
            ++m_rightUpsReceived;
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
        // Escape never closes this window.
        return message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE;
    }
};

TEST(DialogPreTranslate, SeesChildMessagesBeforeDispatchAndCanConsumeThem)
{
    PreTranslatingDialog dialog;
    dialog.m_edit.m_consumeMiddleUp = true;
    HWND edit = nullptr;
    ModalDriver driver([&](HWND d) {
        edit = ::GetDlgItem(d, IDC_INPUT_TEXT);
        ::PostMessageA(edit, WM_RBUTTONUP, 0, MAKELPARAM(-3, 5));
        ::PostMessageA(edit, WM_MBUTTONUP, 0, 0);
        pressKey(edit, VK_ESCAPE);
        click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK) << "Escape was consumed before the dialog manager";
    ASSERT_EQ(dialog.m_seen.size(), 1u) << "the edit's wrapper took the middle button";
    EXPECT_EQ(dialog.m_seen[0].message, static_cast<UINT>(WM_RBUTTONUP));
    EXPECT_EQ(dialog.m_seen[0].hwnd, edit);
    EXPECT_EQ(static_cast<short>(LOWORD(dialog.m_seen[0].lParam)), -3);
    EXPECT_EQ(dialog.m_edit.m_rightUpsReceived, 0) << "a consumed message is not dispatched";
    EXPECT_EQ(dialog.m_edit.GetSafeHwnd(), nullptr) << "the subclass goes with the window";
}

// ---------------------------------------------------------------------------
// Reflection: a wrapper gets its control's notifications first.

class ReflectingEdit : public win::Edit
{
public:
    bool m_take = false;
    int m_changes = 0;

    bool OnReflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override
    {
        if (message != WM_COMMAND || HIWORD(wParam) != EN_CHANGE)
            return false;
        ++m_changes;
        result = 0;
        return m_take;
    }
};

class ReflectionDialog : public win::Dialog
{
public:
    ReflectionDialog() : win::Dialog(IDD_USER_INPUT) {}
    ReflectingEdit m_edit;
    int m_changesSeenByDialog = 0;

protected:
    BOOL OnInitDialog() override
    {
        m_edit.SubclassDlgItem(IDC_INPUT_TEXT, m_hwnd);
        return win::Dialog::OnInitDialog();
    }
    bool OnCommand(int id, int code, HWND) override
    {
        if (id == IDC_INPUT_TEXT && code == EN_CHANGE)
            ++m_changesSeenByDialog;
        return false;
    }
};

TEST(DialogReflection, ControlWrapperHandlesItsNotificationBeforeTheDialog)
{
    for (bool take : {true, false}) {
        SCOPED_TRACE(take);
        ReflectionDialog dialog;
        dialog.m_edit.m_take = take;
        ModalDriver driver([&](HWND d) {
            ::SetDlgItemTextA(d, IDC_INPUT_TEXT, "changed");
            click(d, IDOK);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_edit.m_changes, 1);
        EXPECT_EQ(dialog.m_changesSeenByDialog, take ? 0 : 1);
    }
}

// ---------------------------------------------------------------------------
// Centring

class PlacingDialog : public win::Dialog
{
public:
    enum class Placement { None, Elsewhere, SamePlace, ResizeOnly };
    explicit PlacingDialog(Placement placement) : win::Dialog(IDD_USER_INPUT), m_placement(placement) {}

protected:
    BOOL OnInitDialog() override
    {
        win::Dialog::OnInitDialog();
        const RECT r = GetWindowRect();
        switch (m_placement) {
        case Placement::None:
            break;
        case Placement::Elsewhere:
            ::SetWindowPos(m_hwnd, HWND_TOP, 37, 41, 0, 0, SWP_NOSIZE);
            break;
        case Placement::SamePlace:
            // A remembered position may be where the window happens to be.
            ::SetWindowPos(m_hwnd, HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE);
            break;
        case Placement::ResizeOnly:
            ::SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left + 20, r.bottom - r.top + 10,
                           SWP_NOMOVE | SWP_NOZORDER);
            break;
        }
        return TRUE;
    }

private:
    Placement m_placement;
};

TEST(DialogCentring, CentredOnWorkAreaOnlyWhenInitialisationDidNotPlaceIt)
{
    using P = PlacingDialog::Placement;
    struct Case
    {
        P placement;
        bool centred;
    };
    for (const Case& c : {Case{P::None, true}, Case{P::ResizeOnly, true}, Case{P::Elsewhere, false},
                          Case{P::SamePlace, false}}) {
        SCOPED_TRACE(static_cast<int>(c.placement));
        PlacingDialog dialog(c.placement);
        RECT shown{};
        RECT work{};
        ModalDriver driver([&](HWND d) {
            ::GetWindowRect(d, &shown);
            MONITORINFO info{};
            info.cbSize = sizeof info;
            ::GetMonitorInfoA(::MonitorFromWindow(d, MONITOR_DEFAULTTONEAREST), &info);
            work = info.rcWork;
            click(d, IDCANCEL);
        });
        ASSERT_EQ(dialog.DoModal(), IDCANCEL);
        const int dx = (shown.left - work.left) - (work.right - shown.right);
        const int dy = (shown.top - work.top) - (work.bottom - shown.bottom);
        if (c.centred) {
            EXPECT_LE(std::abs(dx), 1);
            EXPECT_LE(std::abs(dy), 1);
        } else if (c.placement == P::Elsewhere) {
            EXPECT_EQ(shown.left, 37);
            EXPECT_EQ(shown.top, 41);
        } else {
            EXPECT_FALSE(std::abs(dx) <= 1 && std::abs(dy) <= 1);
        }
    }
}

// ---------------------------------------------------------------------------
// Exceptions stop at the window procedure and come out of DoModal.

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

TEST(DialogExceptions, HandlerExceptionEndsDialogAndIsRethrown)
{
    ThrowingDialog dialog;
    ModalDriver driver([](HWND d) { click(d, IDOK); });
    EXPECT_THROW(dialog.DoModal(), std::runtime_error);
    EXPECT_FALSE(driver.timedOut());
    EXPECT_FALSE(::IsWindow(driver.dialog()));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

// ---------------------------------------------------------------------------
// Handle owners

bool gdiAlive(HGDIOBJ object)
{
    return ::GetObjectType(object) != 0;
}

TEST(HandleOwners, GdiOwnersFreeTheirObjectsExactlyOnce)
{
    HGDIOBJ pen, brush, font, bitmap, region, dc;
    {
        win::Pen ownedPen(::CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        win::Brush ownedBrush(::CreateSolidBrush(RGB(4, 5, 6)));
        win::Font ownedFont(::CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
        win::Bitmap ownedBitmap(::CreateBitmap(4, 4, 1, 1, nullptr));
        win::Region ownedRegion(::CreateRectRgn(0, 0, 5, 5));
        win::MemoryDC ownedDc(::CreateCompatibleDC(nullptr));
        pen = ownedPen;
        brush = ownedBrush;
        font = ownedFont;
        bitmap = ownedBitmap;
        region = ownedRegion;
        dc = ownedDc;
        for (HGDIOBJ h : {pen, brush, font, bitmap, region, dc})
            ASSERT_TRUE(gdiAlive(h));

        // A moved-from owner frees nothing; the new owner frees once.
        win::Brush movedBrush(std::move(ownedBrush));
        EXPECT_FALSE(ownedBrush);
        EXPECT_TRUE(gdiAlive(brush));

        // Selected objects go back before their owners delete them.
        const HGDIOBJ originalBrush = ::GetCurrentObject(ownedDc, OBJ_BRUSH);
        const HGDIOBJ originalBitmap = ::GetCurrentObject(ownedDc, OBJ_BITMAP);
        {
            win::SelectGuard selectBrush(ownedDc, movedBrush);
            win::SelectGuard selectBitmap(ownedDc, ownedBitmap);
            EXPECT_EQ(::GetCurrentObject(ownedDc, OBJ_BRUSH), brush);
            EXPECT_EQ(::GetCurrentObject(ownedDc, OBJ_BITMAP), bitmap);
        }
        EXPECT_EQ(::GetCurrentObject(ownedDc, OBJ_BRUSH), originalBrush);
        EXPECT_EQ(::GetCurrentObject(ownedDc, OBJ_BITMAP), originalBitmap);

        // The saved state brings back colours and clipping.
        ::SetTextColor(ownedDc, RGB(10, 20, 30));
        {
            win::SavedDC saved(ownedDc);
            ::SetTextColor(ownedDc, RGB(200, 100, 0));
            ::SelectClipRgn(ownedDc, ownedRegion);
        }
        EXPECT_EQ(::GetTextColor(ownedDc), RGB(10, 20, 30));
        HRGN clip = ::CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(::GetClipRgn(ownedDc, clip), 0) << "no clipping left behind";
        ::DeleteObject(clip);

        win::Region released(::CreateRectRgn(0, 0, 1, 1));
        HRGN raw = released.release();
        EXPECT_FALSE(released);
        ::DeleteObject(raw);
    }
    for (HGDIOBJ h : {pen, brush, font, bitmap, region, dc})
        EXPECT_FALSE(gdiAlive(h));
}

TEST(HandleOwners, UserAndSystemOwnersFreeTheirHandles)
{
    HICON icon;
    HMENU menu, subMenu;
    HKEY key;
    {
        win::Icon ownedIcon(win::LoadIconResource(IDR_MAINFRAME, 16, 16));
        ASSERT_TRUE(ownedIcon);
        icon = ownedIcon;
        win::Menu ownedMenu(::CreatePopupMenu());
        menu = ownedMenu;
        subMenu = ::CreatePopupMenu();
        ::AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(subMenu), "sub");
        HKEY rawKey = nullptr;
        ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &rawKey), ERROR_SUCCESS);
        win::RegKey ownedKey(rawKey);
        key = ownedKey;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    ICONINFO info{};
    EXPECT_FALSE(::GetIconInfo(icon, &info));
    EXPECT_FALSE(::IsMenu(menu));
    EXPECT_FALSE(::IsMenu(subMenu)) << "sub-menus go with their menu";
    DWORD subKeys = 0;
    EXPECT_NE(::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

// ---------------------------------------------------------------------------
// Resources of the built program (the test links the same resource object).

std::string resourceBytes(LPCSTR name, LPCSTR type)
{
    const HMODULE self = ::GetModuleHandleA(nullptr);
    const HRSRC found = ::FindResourceA(self, name, type);
    if (!found)
        return std::string();
    const HGLOBAL loaded = ::LoadResource(self, found);
    const char* data = static_cast<const char*>(::LockResource(loaded));
    return data ? std::string(data, ::SizeofResource(self, found)) : std::string();
}

TEST(ProgramResources, ManifestAsksForCommonControls6ForThisArchitecture)
{
    const std::string manifest = resourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
#ifdef _WIN64
    EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
    EXPECT_EQ(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
#else
    EXPECT_NE(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
#endif
}

TEST(ProgramResources, VersionRecordIs3600)
{
    const std::string version = resourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    ASSERT_FALSE(version.empty());
    // The fixed part starts with its signature.
    const std::string signature("\xBD\x04\xEF\xFE", 4);
    const std::string::size_type at = version.find(signature);
    ASSERT_NE(at, std::string::npos);
    VS_FIXEDFILEINFO fixed{};
    ASSERT_LE(at + sizeof fixed, version.size());
    memcpy(&fixed, version.data() + at, sizeof fixed);
    EXPECT_EQ(fixed.dwFileVersionMS, MAKELONG(6, 3));
    EXPECT_EQ(fixed.dwFileVersionLS, 0u);
    EXPECT_EQ(fixed.dwProductVersionMS, MAKELONG(6, 3));
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    // String values are stored as UTF-16.
    const std::string productName("Q\0u\0i\0l\0l\0b\0a\0n\0k\0\0\0", 20);
    EXPECT_NE(version.find(productName), std::string::npos);
}

INT_PTR CALLBACK inertProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(ProgramResources, DialogTemplatesHaveTheirCaptionsAndControls)
{
    struct Expected
    {
        int dialog;
        const char* caption;
        std::vector<std::pair<int, const char*>> controls;
    };
    const std::vector<Expected> templates = {
        {IDD_MAIN, "Quillbank", {{IDC_HOST_LIST, "SysListView32"}}},
        {IDD_EDIT_ITEM,
         "Edit Item",
         {{IDC_HOST_TITLE, "Edit"}, {IDC_HOST_ICON, "ComboBoxEx32"}, {IDC_BACKGROUND_COLOUR, "Button"},
          {IDC_COLOUR_SWATCH, "Static"}, {IDC_HOST_NAME, "Edit"}, {IDC_TEMPLATE_HOSTNAME, "Edit"},
          {IDC_TEMPLATE_DRIVES, "Edit"}, {IDC_TEMPLATE_ADD, "Button"}, {IDC_ENTRY_LIST, "SysListView32"},
          {IDC_ENTRY_ADD, "Button"}, {IDC_ENTRY_DELETE, "Button"}, {IDC_ENTRY_UP, "Button"},
          {IDC_ENTRY_DOWN, "Button"}, {IDOK, "Button"}, {IDCANCEL, "Button"}, {IDC_LINK, "Static"}}},
        {IDD_EDIT_COMMAND,
         "Edit Command",
         {{IDC_KIND_CUSTOM, "Button"}, {IDC_KIND_TEMPLATE, "Button"}, {IDC_KIND_URL, "Button"},
          {IDC_KIND_SEPARATOR, "Button"}, {IDC_ENTRY_NAME, "Edit"}, {IDC_BOLD, "Button"}, {IDC_COMMAND, "Edit"},
          {IDC_PARAMS, "Edit"}, {IDC_CONFIRM, "Button"}, {IDC_ENTRY_TEMPLATE_HOST, "Edit"},
          {IDC_ENTRY_DRIVES, "Edit"}, {IDC_URL_NAME, "Edit"}, {IDC_USE_ALTERNATE_BROWSER, "Button"},
          {IDC_URL, "Edit"}, {IDC_ENTRY_ICON, "ComboBoxEx32"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
        {IDD_USER_INPUT, "User Input", {{IDC_INPUT_TEXT, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
        {IDD_OPTIONS,
         "Options",
         {{IDC_HIDE_TASKBAR_BUTTON, "Button"}, {IDC_RDP_WIDTH, "Edit"}, {IDC_RDP_HEIGHT, "Edit"},
          {IDC_ALTERNATE_BROWSER_PATH, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
        {IDD_PASSWORD_INPUT, "Password Input", {{IDC_INPUT_TEXT, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
    };
    for (const Expected& t : templates) {
        SCOPED_TRACE(t.dialog);
        const HWND d = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(t.dialog), nullptr,
                                            &inertProc, 0);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(win::GetWindowTextString(d), t.caption);
        for (const auto& [id, className] : t.controls) {
            SCOPED_TRACE(id);
            const HWND control = ::GetDlgItem(d, id);
            ASSERT_NE(control, nullptr);
            char name[32] = {};
            ::GetClassNameA(control, name, sizeof name);
            EXPECT_STREQ(name, className);
        }
        ::DestroyWindow(d);
    }
}

TEST(ProgramResources, KindButtonsFormOneRadioGroupAndPasswordIsMasked)
{
    const HWND d = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_EDIT_COMMAND), nullptr,
                                        &inertProc, 0);
    ASSERT_NE(d, nullptr);
    // Clicking each kind in turn leaves exactly that one on.
    const int kinds[] = {IDC_KIND_CUSTOM, IDC_KIND_TEMPLATE, IDC_KIND_URL, IDC_KIND_SEPARATOR};
    for (int chosen : kinds) {
        ::SendDlgItemMessageA(d, chosen, BM_CLICK, 0, 0);
        for (int kind : kinds)
            EXPECT_EQ(::IsDlgButtonChecked(d, kind) == BST_CHECKED, kind == chosen) << chosen << " " << kind;
    }
    ::DestroyWindow(d);

    const HWND password = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PASSWORD_INPUT),
                                               nullptr, &inertProc, 0);
    ASSERT_NE(password, nullptr);
    EXPECT_TRUE(::GetWindowLongPtrA(::GetDlgItem(password, IDC_INPUT_TEXT), GWL_STYLE) & ES_PASSWORD);
    ::DestroyWindow(password);
}

} // namespace
