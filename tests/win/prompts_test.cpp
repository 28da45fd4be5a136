// The prompts, the confirmation box and the shell call, shown for real and
// answered from a hook on this thread, as a user would answer them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "launch/win32/InputDialogs.h"
#include "launch/win32/LaunchServices.h"
#include "res/resource.h"
#include "win/App.h"

namespace {

// What the hook saw of the window it answered.
struct Seen
{
    std::string title;
    std::string message;     // a message box's text
    bool smallIcon = false;
    bool focusOnField = false;
    LONG_PTR fieldStyle = 0;
    std::string fieldAtDestroy = "(not destroyed)";
    bool yesIsDefault = false;
    bool hasIcon = false;
};

// Answers the next dialog that becomes active: `answer` runs on a timer once
// the dialog is up (so that the dialog manager has set the focus), and a
// safety timer cancels whatever is still open so that no test can hang.
class DialogDriver
{
public:
    using Answer = std::function<void(HWND dialog)>;

    explicit DialogDriver(Answer answer) : m_answer(std::move(answer))
    {
        s_current = this;
        m_hook = SetWindowsHookExA(WH_CBT, &DialogDriver::cbt, nullptr, GetCurrentThreadId());
        m_safety = SetTimer(nullptr, 0, 10000, &DialogDriver::safety);
    }
    ~DialogDriver()
    {
        KillTimer(nullptr, m_safety);
        UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    Seen seen;
    int activations = 0;

private:
    static LRESULT CALLBACK cbt(int code, WPARAM wp, LPARAM lp)
    {
        DialogDriver* self = s_current;
        if (self && code == HCBT_ACTIVATE && !self->m_dialog)
        {
            self->m_dialog = reinterpret_cast<HWND>(wp);
            ++self->activations;
            SetTimer(nullptr, 0, 50, &DialogDriver::answerNow);
        }
        // The hook sees the dialog go, while its field still exists.
        if (self && code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wp) == self->m_dialog)
        {
            if (HWND field = GetDlgItem(self->m_dialog, IDC_INPUT_TEXT))
            {
                char text[256] = "";
                GetWindowTextA(field, text, sizeof(text));
                self->seen.fieldAtDestroy = text;
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }

    static void CALLBACK answerNow(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        DialogDriver* self = s_current;
        if (!self || !self->m_dialog)
            return;
        HWND dialog = self->m_dialog;
        char text[512] = "";
        GetWindowTextA(dialog, text, sizeof(text));
        self->seen.title = text;
        if (GetDlgItemTextA(dialog, 0xFFFF, text, sizeof(text)))
            self->seen.message = text;
        self->seen.smallIcon = SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0) != 0;
        HWND field = GetDlgItem(dialog, IDC_INPUT_TEXT);
        self->seen.focusOnField = field && GetFocus() == field;
        self->seen.fieldStyle = field ? GetWindowLongPtrA(field, GWL_STYLE) : 0;
        HWND yes = GetDlgItem(dialog, IDYES);
        self->seen.yesIsDefault =
            yes && (GetWindowLongPtrA(yes, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
        self->seen.hasIcon = GetDlgItem(dialog, 0x14) != nullptr &&
                             IsWindowVisible(GetDlgItem(dialog, 0x14));
        self->m_answer(dialog);
    }

    static void CALLBACK safety(HWND, UINT, UINT_PTR, DWORD)
    {
        if (s_current && s_current->m_dialog)
            PostMessageA(s_current->m_dialog, WM_COMMAND, IDCANCEL, 0);
    }

    static inline DialogDriver* s_current = nullptr;
    Answer m_answer;
    HHOOK m_hook = nullptr;
    UINT_PTR m_safety = 0;
    HWND m_dialog = nullptr;
};

void typeInto(HWND dialog, const std::string& text)
{
    HWND field = GetDlgItem(dialog, IDC_INPUT_TEXT);
    for (char c : text)
        PostMessageA(field, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

void clickButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

void pressKeyInField(HWND dialog, UINT key)
{
    PostMessageA(GetDlgItem(dialog, IDC_INPUT_TEXT), WM_KEYDOWN, key, 1);
}

DialogDriver::Answer typeThenOk(std::string text)
{
    return [text](HWND dialog) {
        typeInto(dialog, text);
        clickButton(dialog, IDOK);
    };
}

TEST(InputPrompts, OkReturnsTheTypedTextEvenWhenEmpty)
{
    for (const std::string typed : {"", "-u ??? *** &x"})
    {
        SCOPED_TRACE(typed);
        CUserInputDlg dialog;
        DialogDriver driver(typeThenOk(typed));
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_text, typed);
        EXPECT_EQ(driver.seen.title, "User Input");
        EXPECT_TRUE(driver.seen.smallIcon);
        EXPECT_TRUE(driver.seen.focusOnField);
        EXPECT_FALSE(driver.seen.fieldStyle & ES_PASSWORD);
    }
}

TEST(InputPrompts, EnterConfirmsAndEveryOtherWayOutCancels)
{
    struct Case
    {
        const char* name;
        DialogDriver::Answer answer;
        INT_PTR expected;
    };
    const Case cases[] = {
        {"enter", [](HWND d) { typeInto(d, "x"); pressKeyInField(d, VK_RETURN); }, IDOK},
        {"cancel button", [](HWND d) { typeInto(d, "x"); clickButton(d, IDCANCEL); }, IDCANCEL},
        {"escape", [](HWND d) { typeInto(d, "x"); pressKeyInField(d, VK_ESCAPE); }, IDCANCEL},
        {"close box", [](HWND d) { typeInto(d, "x"); PostMessageA(d, WM_CLOSE, 0, 0); }, IDCANCEL},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CUserInputDlg dialog;
        DialogDriver driver(c.answer);
        EXPECT_EQ(dialog.DoModal(), c.expected);
        if (c.expected == IDOK)
            EXPECT_EQ(dialog.m_text, "x");
    }
}

TEST(InputPrompts, PasswordIsMaskedReadUnchangedAndWipedFromTheField)
{
    CPasswordInputDlg dialog;
    DialogDriver driver(typeThenOk("s3cr&t pass"));
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_text, "s3cr&t pass");
    EXPECT_EQ(driver.seen.title, "Password Input");
    EXPECT_TRUE(driver.seen.fieldStyle & ES_PASSWORD);
    EXPECT_TRUE(driver.seen.smallIcon);
    EXPECT_EQ(driver.seen.fieldAtDestroy, "");

    CPasswordInputDlg cancelled;
    DialogDriver cancelDriver([](HWND d) { typeInto(d, "typed"); clickButton(d, IDCANCEL); });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelDriver.seen.fieldAtDestroy, "");
}

// What the launch logic gets back: the text on OK, nothing otherwise; a
// second prompt starts empty again.
TEST(InputPrompts, LaunchPromptsHandBackWhatWasTyped)
{
    DialogLaunchPrompts prompts(nullptr);
    for (const char* typed : {"first", "-second"})
    {
        DialogDriver driver(typeThenOk(typed));
        EXPECT_EQ(prompts.askUserInput(), std::optional<std::string>(typed));
    }
    {
        DialogDriver driver(typeThenOk("pw"));
        EXPECT_EQ(prompts.askPassword(), std::optional<std::string>("pw"));
    }
    DialogDriver driver([](HWND d) { typeInto(d, "pw"); clickButton(d, IDCANCEL); });
    EXPECT_EQ(prompts.askPassword(), std::nullopt);
}

TEST(Confirmation, YesNoBoxCaptionedWithTheProgramNameYesDefaultNoIcon)
{
    const std::string text = "Are you sure you want to run:\n\n\"shutdown.exe /r /f /m \\\\srv1\"";
    DialogLaunchPrompts prompts(nullptr);
    {
        DialogDriver driver([](HWND d) { clickButton(d, IDYES); });
        EXPECT_TRUE(prompts.confirmRun(text));
        EXPECT_EQ(driver.seen.title, win::ExecutableName());
        EXPECT_EQ(driver.seen.message, text);
        EXPECT_TRUE(driver.seen.yesIsDefault);
        EXPECT_FALSE(driver.seen.hasIcon);
    }
    {
        DialogDriver driver([](HWND d) { clickButton(d, IDNO); });
        EXPECT_FALSE(prompts.confirmRun(text));
    }
}

// The shell runs cmd with parameters in the current folder; the file it
// writes shows the call happened with those parameters, in both forms.
TEST(ShellLauncher, BothCallFormsStartTheProgramWithItsParameters)
{
    char temp[MAX_PATH + 1] = "";
    GetTempPathA(sizeof(temp), temp);
    std::string folder = std::string(temp) + "qb-shell-test";
    CreateDirectoryA(folder.c_str(), nullptr);
    char previous[MAX_PATH + 1] = "";
    GetCurrentDirectoryA(sizeof(previous), previous);
    SetCurrentDirectoryA(folder.c_str());

    ShellExecuteLauncher shell(nullptr);
    qb::ShellCall open;
    open.ownerIsMainWindow = true;
    open.verb = "open";
    open.file = "cmd.exe";
    open.parameters = "/c echo opened>shell_open.txt";
    qb::ShellCall byDefault;
    byDefault.file = "cmd.exe";
    byDefault.parameters = "/c echo defaulted>shell_default.txt";
    DeleteFileA("shell_open.txt");
    DeleteFileA("shell_default.txt");
    shell.execute(open);
    shell.execute(byDefault);

    auto readWhenThere = [](const char* name) {
        for (int i = 0; i < 200; ++i)
        {
            if (FILE* f = std::fopen(name, "rb"))
            {
                char line[64] = "";
                std::fgets(line, sizeof(line), f);
                std::fclose(f);
                if (line[0])
                    return std::string(line);
            }
            Sleep(50);
        }
        return std::string();
    };
    EXPECT_EQ(readWhenThere("shell_open.txt").substr(0, 6), "opened");
    EXPECT_EQ(readWhenThere("shell_default.txt").substr(0, 9), "defaulted");
    DeleteFileA("shell_open.txt");
    DeleteFileA("shell_default.txt");
    SetCurrentDirectoryA(previous);
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
