// The main window in process under Wine: what no script can time or bring about, and what another process reads.
#include "app/win32/MainDlg.h"
#include "handles/Handles.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include "../core/catalogue_test_support.h"
#include "DialogDriver.h"

#include <memory>
#include <string>

namespace {

// `ini` as quillbank.ini in a temporary folder, current during the test, and a main window to read it.
struct TestWindow : qbtest::TempFolder {
    explicit TestWindow(const std::string& ini)
    {
        std::filesystem::current_path(path);
        qbtest::writeFile("quillbank.ini", ini);
    }
    ~TestWindow() { std::filesystem::current_path(previous); }

    const std::filesystem::path previous = std::filesystem::current_path();
    WindowsServices services;
    CMainDlg dialog{services};
};

const std::string kThreeHosts = "<ITEM>Charlie<HOST>h0<ICON>7<COL>-1\n"
                                "<ITEM>Alpha<HOST>h1<ICON>8<COL>-1\n"
                                "<ITEM>Bravo<HOST>h2<ICON>9<COL>255\n";

// What `commandLine` printed, answering the messages it sends this thread's windows meanwhile; empty when it could
// not run or failed. Run in the current folder, which the test owns.
std::string outputOf(std::string commandLine)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    PROCESS_INFORMATION process{};
    {
        const win::FileHandle output(CreateFileA("output.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output.get();
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
            return {};
    }
    const win::KernelObject thread(process.hThread), running(process.hProcess);
    // Peeking delivers the messages sent from the other program, and nothing else.
    MSG message;
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1)
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode == 0 ? qbtest::readFile("output.txt") : std::string();
}

}  // namespace

// Wine's list selects on the press and reports the click on the release; a colleague's save read in between
// rebuilds the rows, and the pressed host stays selected, now a row lower, until the click is done.
TEST(MainWindow, AColleaguesSaveBetweenPressAndReleaseKeepsTheClick)
{
    TestWindow window(kThreeHosts);
    qbtest::runModal(window.dialog, [&] {
        CMainDlg& d = window.dialog;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
        RECT row = {};
        d.HostList().GetItemRect(1, row, LVIR_LABEL);
        const LPARAM onBravo = MAKELPARAM(row.left + 2, (row.top + row.bottom) / 2);
        SendMessageA(d.HostList(), WM_LBUTTONDOWN, MK_LBUTTON, onBravo);
        qbtest::writeFile("quillbank.ini", kThreeHosts + "<ITEM>Able<HOST>h3<ICON>0<COL>-1\n");
        EXPECT_TRUE(d.Session().refresh());
        EXPECT_EQ(d.HostList().GetFirstSelected(), 2);
        SendMessageA(d.HostList(), WM_LBUTTONUP, 0, onBravo);
        KillTimer(nullptr, timer);
        EXPECT_EQ(d.HostList().GetFirstSelected(), -1) << "no selection kept after the click";
    });
}

// A screen reader in another process reads every row as its title as shown: no "||" and colour, whether the
// colour is the host's or written into its title.
TEST(MainWindow, AnotherProgramReadsEveryRowAsItsTitleAlone)
{
    TestWindow window("<ITEM>Mail server<HOST>mail01<ICON>3<COL>255\n"
                      "<ITEM>Web||65280<HOST>web01<ICON>4<COL>-1\n"
                      "<ITEM>Alpha<HOST>dc02<ICON>5<COL>-1\n");
    std::string read;
    qbtest::runModal(window.dialog, [&] {
        // Found by its title, which no other window of the test run has.
        SetWindowTextA(window.dialog, "Quillbank read out");
        std::string self(MAX_PATH, '\0');
        self.resize(GetModuleFileNameA(nullptr, &self[0], DWORD(self.size())));
        // The build puts the helper program beside this one.
        const std::string poke = self.substr(0, self.find_last_of('\\') + 1) + "poke.exe";
        read = outputOf("\"" + poke + "\" texts \"Quillbank read out\" " + std::to_string(IDC_HOST_LIST));
    });
    EXPECT_EQ(read, "Alpha\r\nMail server\r\nWeb\r\n");
}

// A log-off cannot wait: saved at once, with the restored position, not the minimised one.
TEST(MainWindow, EndingTheSessionSavesAtOnceAndFreesNothing)
{
    TestWindow window("<X>10<Y>20<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<END>\n" + kThreeHosts);
    qbtest::runModal(window.dialog, [&] {
        SetWindowPos(window.dialog, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(window.dialog, SW_MINIMIZE);
        EXPECT_TRUE(SendMessageA(window.dialog, WM_QUERYENDSESSION, 0, 0));
        SendMessageA(window.dialog, WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(window.dialog.Session().hosts().size(), 3u) << "nothing freed";
        EXPECT_EQ(qbtest::readFile("quillbank.ini").substr(0, 12), "<X>140<Y>160");
    });
}

// The hotkey: a minimised window comes back in front, its find field empty and focused; an open popup comes instead.
TEST(MainWindow, TheHotkeySummonsTheWindowOrItsOpenPopup)
{
    TestWindow window(kThreeHosts);
    qbtest::runModal(window.dialog, [&] {
        const HWND main = window.dialog, find = GetDlgItem(main, IDC_FIND_TEXT);
        // Another program's window in front at each press.
        const std::unique_ptr<HWND__, decltype(&DestroyWindow)> other(
            CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr),
            &DestroyWindow);
        SetWindowTextA(find, "left over");
        qbtest::DialogDriver popup([&](HWND box) {
            SetForegroundWindow(other.get());
            SendMessageA(main, WM_HOTKEY, 1, 0);
            EXPECT_EQ(GetForegroundWindow(), box);
            EXPECT_FALSE(IsWindowVisible(find));
            qbtest::postClick(box, IDOK);
        });
        MessageBoxA(main, "Open", "Popup", MB_OK);
        ShowWindow(main, SW_MINIMIZE);
        SetForegroundWindow(other.get());
        SendMessageA(main, WM_HOTKEY, 1, 0);
        EXPECT_FALSE(IsIconic(main));
        EXPECT_EQ(GetForegroundWindow(), main);
        EXPECT_TRUE(IsWindowVisible(find));
        EXPECT_EQ(GetFocus(), find);
        EXPECT_EQ(win::windowTextOf(find), "");
    });
}
