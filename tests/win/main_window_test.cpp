// The main window in process under Wine: its rows, what each way of ending writes, what a screen reader reads.
#include "screen/DisplayScale.h"
#include "app/win32/MainDlg.h"
#include "controls/IconStrip.h"
#include "handles/Handles.h"
#include "res/resource.h"
#include "platform/win32/Registry.h"
#include "win/App.h"
#include "win/Menu.h"

#include <gtest/gtest.h>

#include "../core/catalogue_test_support.h"
#include "DialogDriver.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

// `ini` as quillbank.ini in a temporary folder, current during the test, and a main window to read it.
struct TestWindow : qbtest::TempFolder {
    explicit TestWindow(const std::string& ini)
    {
        std::filesystem::current_path(path);
        if (!ini.empty())
            qbtest::writeFile("quillbank.ini", ini);
    }
    ~TestWindow() { std::filesystem::current_path(previous); }
    std::string file() const { return qbtest::readFile(TempFolder::file("quillbank.ini")); }

    // Runs `body` inside the window's modal loop, then ends it with OK unless the body did.
    INT_PTR run(std::function<void(CMainDlg&)> body, bool bodyEnds = false)
    {
        return qbtest::runModal(
            dialog, [&] { body(dialog); }, bodyEnds);
    }

    const std::filesystem::path previous = std::filesystem::current_path();
    WindowsServices services;
    CMainDlg dialog{services};
};

const std::string kThreeHosts = "<ITEM>Charlie<HOST>h0<ICON>7<COL>-1\n"
                                "<ITEM>Alpha<HOST>h1<ICON>8<COL>-1\n"
                                "<ITEM>Bravo<HOST>h2<ICON>9<COL>255\n";

// As the program writes it; then as saved after a move to (140, 160).
const std::string kOneHost = "<X>10<Y>20<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<HIDE><END>\r\n"
                             "<ITEM>One<HOST>h1<ICON>3<COL>255\r\n"
                             "  <SEP>\r\n";
const std::string kOneHostMoved = "<X>140<Y>160" + kOneHost.substr(10);

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

// Only a close request ends the window, saving the moved position byte for
// byte: Escape, the OK command that Enter used to give and Cancel do nothing.
TEST(MainWindow, OnlyACloseRequestEndsItAndSaves)
{
    TestWindow window(kOneHost);
    const INT_PTR result = window.run(
        [](CMainDlg& d) {
            SetWindowPos(d, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            PostMessageA(d.HostList(), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(d, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            PostMessageA(d, WM_CLOSE, 0, 0);
        },
        true);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(window.file(), kOneHostMoved);
    EXPECT_TRUE(window.dialog.Session().hosts().empty()) << "the catalogue is freed";
}

// 200 hosts: a rebuild keeps the scroll position and focus, not the selection.
TEST(MainWindow, ARebuildKeepsTheView)
{
    std::string file = "<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>1024<RPDY>768<END>\n";
    for (int i = 0; i < 200; ++i)
        file += "<ITEM>Host " + std::to_string(1000 + i).substr(1) + "<HOST>h<ICON>3<COL>-1\n";
    TestWindow window(file);
    window.run([](CMainDlg& d) {
        auto& list = d.HostList();
        list.EnsureVisible(150, false);
        list.SetItemState(140, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        const int top = list.GetTopIndex();
        ASSERT_GT(top, 0);
        d.showRows(-1);
        EXPECT_EQ(list.GetTopIndex(), top);
        EXPECT_EQ(d.FocusedRow(), 140);
        EXPECT_EQ(list.GetFirstSelected(), -1);
    });
}

// Each rebuild fits the window to the new count: n * h + 25 while the rows fit the work area, whole
// rows under a vertical scroll bar beyond; never a horizontal one, however long a title; with no rows
// the size stays. Growing a list that had no room yet for its new rows once left both bars for good.
TEST(MainWindow, EveryRebuildFitsTheWindowToItsRows)
{
    TestWindow window(kThreeHosts);
    window.run([](CMainDlg& d) {
        auto& list = d.HostList();
        const RECT start = d.GetWindowRect();
        RECT row = {};
        list.GetItemRect(0, row, LVIR_BOUNDS);
        const int rowHeight = row.bottom - row.top;
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(d, MONITOR_DEFAULTTONEAREST), &monitor);
        const int fitting = (monitor.rcWork.bottom - monitor.rcWork.top - 25) / rowHeight;
        int shown = 3;
        for (const int hosts : {4, 6, 5, 2, fitting, fitting + 1, fitting + 20, fitting, 3, 1, 0}) {
            // A colleague's save of that many hosts, merged.
            std::string file;
            for (int host = 0; host < hosts; ++host)
                file += "<ITEM>A title far wider than the window " + std::to_string(host) + "<HOST>h<ICON>0<COL>-1\r\n";
            qbtest::writeFile("quillbank.ini", file);
            ASSERT_TRUE(d.Session().refresh()) << hosts << " hosts";
            shown = hosts > 0 ? std::min(hosts, fitting) : shown;
            const bool scrolls = hosts > fitting;
            const RECT outer = d.GetWindowRect();
            const LONG style = GetWindowLongA(list, GWL_STYLE);
            EXPECT_EQ(outer.bottom - outer.top, shown * rowHeight + 25) << hosts << " hosts";
            EXPECT_EQ(outer.right - outer.left,
                      start.right - start.left + (scrolls ? GetSystemMetrics(SM_CXVSCROLL) : 0))
                << hosts << " hosts";
            EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), scrolls ? WS_VSCROLL : 0) << hosts << " hosts";
        }
    });
}

// Moved to a monitor at 144 DPI while the system stays at 96: where the system proposes, the list's
// font and icons of that scale, whole rows under the scaled frame; and back again as it was.
TEST(MainWindow, AMoveToAnotherScaleRefitsTheRowsAtIt)
{
    TestWindow window(kThreeHosts);
    window.run([](CMainDlg& d) {
        auto& list = d.HostList();
        const RECT start = d.GetWindowRect();
        const auto fontHeight = [&] {
            LOGFONTA font{};
            GetObjectA(list.GetFont(), sizeof font, &font);
            return font.lfHeight;
        };
        const LONG startFont = fontHeight();
        RECT suggested = {300, 200, 300 + (start.right - start.left) * 3 / 2, 200 + (start.bottom - start.top) * 3 / 2};
        SendMessageA(d, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

        const RECT moved = d.GetWindowRect();
        EXPECT_EQ(std::make_pair(moved.left, moved.top), std::make_pair(300L, 200L));
        EXPECT_EQ(fontHeight(), -16) << "8 points at 144 DPI";
        EXPECT_EQ(list.GetImageList(LVSIL_SMALL), iconImagesForDpi(144));
        RECT row = {};
        list.GetItemRect(0, row, LVIR_BOUNDS);
        int iconWidth = 0, iconHeight = 0;
        ImageList_GetIconSize(list.GetImageList(LVSIL_SMALL), &iconWidth, &iconHeight);
        EXPECT_EQ(iconHeight, 32);
        EXPECT_GT(row.bottom - row.top, iconHeight) << "the icons fit the rows";
        EXPECT_EQ(moved.bottom - moved.top, 3 * (row.bottom - row.top) + qb::scaledForDpi(25, 144));
        EXPECT_EQ(list.GetColumnWidth(0), list.GetClientRect().right) << "no horizontal scrolling";

        SendMessageA(d, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&start));
        const RECT back = d.GetWindowRect();
        EXPECT_EQ(std::make_tuple(back.left, back.top, back.right, back.bottom),
                  std::make_tuple(start.left, start.top, start.right, start.bottom));
        EXPECT_EQ(fontHeight(), startFont);
        EXPECT_EQ(list.GetImageList(LVSIL_SMALL), iconImagesForDpi(96));
    });
}

// A letter in an owner-drawn menu runs the only item it starts and selects
// the first of several; image indices, shortcuts and greyed items do not count.
TEST(MainWindow, AMenuLetterPicksTheItemItStarts)
{
    TestWindow window(kOneHost);
    window.run([](CMainDlg& d) {
        win::PopupMenu menu;
        menu.AppendString(1, "Console\tCtrl+K");
        menu.AppendPopup(win::PopupMenu(), "Remote||12");
        menu.AppendString(3, "Reboot");
        menu.AppendString(4, "Power", MF_GRAYED);
        menu.AppendString(5, "ping");
        CIconMenu::MakeOwnerDrawn(menu);
        const char keys[] = {'c', 'k', 'R', 'p'};
        const LRESULT answers[] = {MAKELRESULT(0, MNC_EXECUTE), MAKELRESULT(0, MNC_IGNORE), MAKELRESULT(1, MNC_SELECT),
                                   MAKELRESULT(4, MNC_EXECUTE)};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(SendMessageA(d, WM_MENUCHAR, MAKEWPARAM(keys[i], MF_POPUP), LPARAM(menu.get())), answers[i])
                << keys[i];
    });
}

TEST(IconPicker, SelectsTheIconsPositionAndReadsItBack)
{
    HWND window = CreateWindowExA(0, WC_COMBOBOXEXA, "", WS_POPUP | CBS_DROPDOWN, 0, 0, 60, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    win::ComboBoxEx picker;
    picker.Attach(window);
    fillIconPicker(picker, iconImagesForDpi(96));
    // Out-of-range icons select nothing rather than keeping the last choice.
    const std::pair<int, int> cases[] = {{119, 119}, {120, -1}, {-1, -1}};
    for (const auto& [icon, picked] : cases) {
        selectPickerIcon(picker, 64);
        selectPickerIcon(picker, icon);
        EXPECT_EQ(pickedIcon(picker), picked) << "icon " << icon;
    }

    // The 144-DPI strip's 32-pixel pictures (the scale test checks their size) fit the field and items.
    SendMessageA(window, CB_RESETCONTENT, 0, 0);
    fillIconPicker(picker, iconImagesForDpi(144));
    EXPECT_GE(SendMessageA(window, CB_GETITEMHEIGHT, WPARAM(-1), 0), 32) << "the field";
    EXPECT_GE(SendMessageA(window, CB_GETITEMHEIGHT, 0, 0), 32) << "the items";
    DestroyWindow(window);
}

// Wine's list selects on the press and reports the click on the release; a colleague's save read in between
// rebuilds the rows, and the pressed host stays selected, now a row lower, until the click is done.
TEST(MainWindow, AColleaguesSaveBetweenPressAndReleaseKeepsTheClick)
{
    TestWindow window(kThreeHosts);
    window.run([&](CMainDlg& d) {
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
    window.run([&](CMainDlg& d) {
        // Found by its title, which no other window of the test run has.
        SetWindowTextA(d, "Quillbank read out");
        std::string self(MAX_PATH, '\0');
        self.resize(GetModuleFileNameA(nullptr, &self[0], DWORD(self.size())));
        // The build puts the helper program beside this one.
        const std::string poke = self.substr(0, self.find_last_of('\\') + 1) + "poke.exe";
        read = outputOf("\"" + poke + "\" texts \"Quillbank read out\" " + std::to_string(IDC_HOST_LIST));
    });
    EXPECT_EQ(read, "Alpha\r\nMail server\r\nWeb\r\n");
}

// A log-off cannot wait: saved at once (restored position, not the minimised one).
TEST(MainWindow, EndingTheSessionSavesAtOnceAndFreesNothing)
{
    TestWindow window(kOneHost);
    window.run([&](CMainDlg& d) {
        SetWindowPos(d, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(d, SW_MINIMIZE);
        EXPECT_TRUE(SendMessageA(d, WM_QUERYENDSESSION, 0, 0));
        SendMessageA(d, WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(d.Session().hosts().size(), 1u) << "nothing freed";
    });
    EXPECT_EQ(window.file(), kOneHostMoved);
}

// A right click the list answered (NM_RCLICK) whose release still comes, as
// when the list lost its capture during the click, opens the editor once.
TEST(MainWindow, OneRightClickOpensOneEditor)
{
    static int editors = 0;
    editors = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND editor = FindWindowA(nullptr, "Edit Item")) {
            ++editors;
            PostMessageA(editor, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    });
    TestWindow window("");
    window.run(
        [&](CMainDlg& d) {
            NMITEMACTIVATE click{};
            click.hdr = {d.HostList(), IDC_HOST_LIST, static_cast<UINT>(NM_RCLICK)};
            click.ptAction = {20, 40};
            SendMessageA(d, WM_NOTIFY, IDC_HOST_LIST, reinterpret_cast<LPARAM>(&click));
            PostMessageA(d.HostList(), WM_RBUTTONUP, 0, MAKELPARAM(20, 40));
            PostMessageA(d, WM_CLOSE, 0, 0);
        },
        true);
    KillTimer(nullptr, timer);
    EXPECT_EQ(editors, 1);
}

// The hotkey brings the window back restored, the find field open and empty above the list and the window taller by
// it (the e2e find script checks the rest at a height the screen caps). While an editor runs, it opens no field.
TEST(MainWindow, TheHotkeyBringsTheWindowWithTheFindFieldOpen)
{
    TestWindow window(kThreeHosts);
    window.run([](CMainDlg& d) {
        const auto height = [](const RECT& rect) { return rect.bottom - rect.top; };
        const HWND field = GetDlgItem(d, IDC_FIND_TEXT);
        const int closed = height(d.GetWindowRect());
        {
            qb::MainSession::NestedLoop editor(d.Session());
            SendMessageA(d, WM_HOTKEY, 1, 0);
            EXPECT_FALSE(IsWindowVisible(field));
        }
        ShowWindow(d, SW_MINIMIZE);
        SendMessageA(d, WM_HOTKEY, 1, 0);
        EXPECT_FALSE(IsIconic(d));
        EXPECT_EQ(GetFocus(), field);
        const int fieldHeight = win::Window(field).GetRectInParent().bottom;
        EXPECT_EQ(d.HostList().GetRectInParent().top, fieldHeight) << "the list under the field";
        EXPECT_EQ(height(d.GetWindowRect()), closed + fieldHeight);
        qbtest::typeText(d, IDC_FIND_TEXT, "H2");
        EXPECT_EQ(d.HostList().GetItemCount(), 1);
        EXPECT_EQ(height(d.GetWindowRect()), closed + fieldHeight) << "finding does not resize";
        SendMessageA(d, WM_HOTKEY, 1, 0);
        EXPECT_EQ(win::windowTextOf(field), "") << "pressed again, the field is emptied";
        EXPECT_EQ(d.HostList().GetItemCount(), 3);
    });
}

// The hotkey set in the Options dialog is the user's, kept under HKCU\Software\Quillbank as the control's value (the
// e2e find script starts with one stored); one that another program holds is refused at OK, the previous kept.
TEST(MainWindow, TheOptionsHotkeyIsRefusedWhenHeldAndKeptPerUser)
{
    const uint32_t ctrlAltQ = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT);
    const uint32_t ctrlShiftK = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    const auto stored = [] { return qb::readNumberValue(HKEY_CURRENT_USER, "Software\\Quillbank", "Hotkey"); };
    const auto heldHere = [](UINT modifiers, UINT key) {
        // Another registration of the same keys fails while the window holds them.
        const bool free = RegisterHotKey(nullptr, 77, modifiers, key);
        if (free)
            UnregisterHotKey(nullptr, 77);
        return !free && GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
    };
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Quillbank", "Hotkey");
    ASSERT_TRUE(RegisterHotKey(nullptr, 78, MOD_CONTROL | MOD_ALT, 'Q')) << "another program's hotkey";
    {
        TestWindow window(kOneHost);
        qbtest::DialogDriver dialogs;
        std::string refusal;
        for (const uint32_t hotkey : {ctrlShiftK, ctrlAltQ})
            dialogs.on("Options", [hotkey](HWND options) {
                SendDlgItemMessageA(options, IDC_HOTKEY, HKM_SETHOTKEY, hotkey, 0);
                qbtest::postClick(options, IDOK);
            });
        // The window's own script first, then the box it shows.
        dialogs.next([&](HWND) {
            CMainDlg& d = window.dialog;
            d.Session().runListCommand(qb::CmdOptions, d.HostAt(0));
            d.Session().runListCommand(qb::CmdOptions, d.HostAt(0));
            EXPECT_EQ(refusal, "The hotkey Ctrl+Alt+Q is in use by another program.");
            EXPECT_EQ(stored(), std::optional<uint32_t>(ctrlShiftK));
            EXPECT_TRUE(heldHere(MOD_CONTROL | MOD_SHIFT, 'K')) << "the previous one kept";
            d.EndDialog(IDOK);
        });
        dialogs.next([&](HWND box) {
            refusal = qbtest::itemText(box, 0xFFFF);
            qbtest::postClick(box, IDOK);
            // Refused, the dialog stays open: given up.
            PostMessageA(GetWindow(box, GW_OWNER), WM_COMMAND, IDCANCEL, 0);
        });
        window.dialog.DoModal();
    }
    UnregisterHotKey(nullptr, 78);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Quillbank", "Hotkey");
}
