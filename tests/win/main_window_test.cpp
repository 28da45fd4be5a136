// The main window in process under Wine: its rows, what each way of ending
// writes, and the icon picker on the shared list.
#include "app/win32/MainDlg.h"
#include "controls/IconStrip.h"
#include "res/resource.h"
#include "win/App.h"
#include "win/Menu.h"

#include <gtest/gtest.h>

#include "../core/catalogue_test_support.h"
#include "DialogDriver.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// A temporary folder holding `ini` as quillbank.ini, current during the test.
struct WorkFolder : qbtest::TempFolder {
    explicit WorkFolder(const std::string& ini)
    {
        std::filesystem::current_path(path);
        if (!ini.empty())
            qbtest::writeFile("quillbank.ini", ini);
    }
    ~WorkFolder() { std::filesystem::current_path(previous); }
    std::string file() const { return qbtest::readFile(TempFolder::file("quillbank.ini")); }

    const std::filesystem::path previous = std::filesystem::current_path();
};

// Runs `body` inside the main window's modal loop once it is up; then ends
// the window with OK unless the body ends it itself.
INT_PTR runMainWindow(CMainDlg& dialog, std::function<void(CMainDlg&)> body, bool bodyEnds = false)
{
    qbtest::DialogDriver driver([&](HWND) {
        body(dialog);
        if (!bodyEnds)
            dialog.EndDialog(IDOK);
    });
    return dialog.DoModal();
}

const std::string kThreeHosts = "<ITEM>Charlie<HOST>h0<ICON>7<COL>-1\n"
                                "<ITEM>Alpha<HOST>h1<ICON>8<COL>-1\n"
                                "<ITEM>Bravo<HOST>h2<ICON>9<COL>255\n";

// As the program writes it; then as saved after a move to (140, 160).
const std::string kOneHost = "<X>10<Y>20<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<HIDE><END>\r\n"
                             "<ITEM>One<HOST>h1<ICON>3<COL>255\r\n"
                             "  <SEP>\r\n";
const std::string kOneHostMoved = "<X>140<Y>160" + kOneHost.substr(10);

void clickFirstRow(CMainDlg& d)
{
    auto& list = d.HostList();
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE notice = {};
    notice.hdr = {list, IDC_HOST_LIST, static_cast<UINT>(NM_CLICK)};
    SendMessageA(d, WM_NOTIFY, IDC_HOST_LIST, reinterpret_cast<LPARAM>(&notice));
}

CMainDlg* g_menuWindow = nullptr;

std::string numberedHosts(int count)
{
    std::string text = "<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>1024<RPDY>768<END>\n";
    for (int i = 0; i < count; ++i) {
        const std::string number = std::to_string(1000 + i).substr(1);
        text += "<ITEM>Host " + number + "<HOST>h<ICON>3<COL>-1\n";
    }
    return text;
}

int heightOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

int clientWidth(HWND window)
{
    RECT rect;
    GetClientRect(window, &rect);
    return rect.right;
}

}  // namespace

// The list as high as its rows and two pixels (the window's outer size is
// checked on the real one); rows sorted by display text, each carrying its
// host and icon, also after a rebuild.
TEST(MainWindow, ListFitsItsSortedRowsCarryingTheirHost)
{
    WorkFolder folder(kThreeHosts);
    CMainDlg dialog(qb::platformFileStore());
    runMainWindow(dialog, [&](CMainDlg& d) {
        auto& list = d.HostList();
        ASSERT_EQ(list.GetItemCount(), 3);
        RECT first = {};
        list.GetItemRect(0, first, LVIR_BOUNDS);
        const RECT bounds = list.GetWindowRect();
        EXPECT_EQ(bounds.bottom - bounds.top, 3 * (first.bottom - first.top) + 2);
        const char* expected[] = {"Alpha", "Bravo||255", "Charlie"};
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(list.GetItemText(row, 0), expected[row]);
            const qb::HostItem* host = d.HostAt(row);
            ASSERT_NE(host, nullptr);
            EXPECT_EQ(qb::hostDisplayText(*host), expected[row]);
            EXPECT_EQ(list.GetItemImage(row), host->icon);
        }
        // A rebuild after the catalogue changed shows the new rows, each with
        // its own host, and no selection of the old ones.
        list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        d.Catalogue().push_back(qb::newHost());
        d.Catalogue().back()->title = "Able";
        d.Catalogue().erase(d.Catalogue().begin());  // Charlie
        d.fillHostList();
        const char* rebuilt[] = {"Able", "Alpha", "Bravo||255"};
        ASSERT_EQ(list.GetItemCount(), 3);
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(list.GetItemText(row, 0), rebuilt[row]);
            EXPECT_EQ(qb::hostDisplayText(*d.HostAt(row)), rebuilt[row]);
        }
        EXPECT_EQ(d.HostAt(3), nullptr);
        EXPECT_EQ(list.GetFirstSelected(), -1);
    });
}

// Only a close request ends the window, and it saves (with the moved
// position, byte for byte): Escape, the OK command that Enter used to give
// and Cancel do nothing. (Shift + click, which ends it unsaved, is checked
// on the real window.)
TEST(MainWindow, OnlyACloseRequestEndsItAndSaves)
{
    WorkFolder folder(kOneHost);
    CMainDlg dialog(qb::platformFileStore());
    const INT_PTR result = runMainWindow(
        dialog,
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
    EXPECT_EQ(folder.file(), kOneHostMoved);
    EXPECT_TRUE(dialog.Catalogue().empty()) << "the catalogue is freed";
}

// 200 hosts: whole rows within the work area, a scroll bar beside a column
// as wide as the template's list; a rebuild keeps the scroll position, and
// the focus goes to the host given (into view) or stays at its row.
TEST(MainWindow, ManyHostsScrollWithinTheWorkArea)
{
    WorkFolder folder(numberedHosts(200));
    CMainDlg dialog(qb::platformFileStore());
    runMainWindow(dialog, [](CMainDlg& d) {
        auto& list = d.HostList();
        RECT outer;
        GetWindowRect(d, &outer);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(d, MONITOR_DEFAULTTONEAREST), &monitor);
        EXPECT_GE(outer.top, monitor.rcWork.top);
        EXPECT_LE(outer.bottom, monitor.rcWork.bottom);
        RECT first = {};
        list.GetItemRect(0, first, LVIR_BOUNDS);
        const int h = first.bottom - first.top;
        const int page = list.GetCountPerPage();
        EXPECT_LT(page, 200);
        EXPECT_EQ(outer.bottom - outer.top, page * h + 25);
        EXPECT_EQ(heightOf(list), page * h + 2);
        RECT windowWidth = {0, 0, 82, 0};
        RECT listWidth = {0, 0, 81, 0};
        MapDialogRect(d, &windowWidth);
        MapDialogRect(d, &listWidth);
        EXPECT_EQ(clientWidth(d), windowWidth.right + GetSystemMetrics(SM_CXVSCROLL));
        EXPECT_EQ(list.GetColumnWidth(0), listWidth.right) << "a long title ends at the edge";
        EXPECT_EQ(clientWidth(list), listWidth.right) << "no horizontal scrolling";
        EXPECT_EQ(GetFocus(), list.GetSafeHwnd()) << "the list has the keyboard at start";

        list.EnsureVisible(150, false);
        list.SetItemState(140, LVIS_FOCUSED, LVIS_FOCUSED);
        const int top = list.GetTopIndex();
        ASSERT_GT(top, 0);
        d.fillHostList();
        EXPECT_EQ(list.GetTopIndex(), top);
        EXPECT_EQ(d.FocusedRow(), 140);
        d.fillHostList(d.HostAt(3));
        EXPECT_EQ(d.FocusedRow(), 3);
        EXPECT_LE(list.GetTopIndex(), 3);
    });
}

// A letter in an owner-drawn menu runs the only item it starts and selects
// the first of several; image indices, shortcuts and greyed items do not count.
TEST(MainWindow, AMenuLetterPicksTheItemItStarts)
{
    WorkFolder folder(kOneHost);
    CMainDlg dialog(qb::platformFileStore());
    runMainWindow(dialog, [](CMainDlg& d) {
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
    HINSTANCE module = GetModuleHandleA(nullptr);
    HIMAGELIST images = createSharedImageListFromResources(module);
    ASSERT_NE(images, nullptr);
    HWND window = CreateWindowExA(0, WC_COMBOBOXEXA, "", WS_POPUP | CBS_DROPDOWN, 0, 0, 60, 200, nullptr, nullptr,
                                  module, nullptr);
    ASSERT_NE(window, nullptr);
    win::ComboBoxEx picker;
    picker.Attach(window);
    fillIconPicker(picker, images);
    EXPECT_EQ(picker.GetCount(), kIconCount);
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = 57;
    ASSERT_TRUE(SendMessageA(window, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.iImage, 57);
    EXPECT_EQ(item.iSelectedImage, 57);

    // Out-of-range icons select nothing rather than keeping the last choice.
    const int icons[] = {0, 119, 120, -1};
    const int picked[] = {0, 119, -1, -1};
    for (int i = 0; i < 4; ++i) {
        selectPickerIcon(picker, 64);
        selectPickerIcon(picker, icons[i]);
        EXPECT_EQ(pickedIcon(picker), picked[i]) << "icon " << icons[i];
    }
    DestroyWindow(window);
}

// A close request or a colleague's save while a host's menu is open waits
// for it: the catalogue stays until then, and the closing save keeps the
// colleague's host. (The same for the host editor is checked on the real window.)
TEST(MainWindow, ACloseRequestWaitsForTheOpenMenu)
{
    static const std::string colleagues = kOneHost + "<ITEM>Two<HOST>h2<ICON>0<COL>-1\r\n";
    WorkFolder folder(kOneHost);
    CMainDlg dialog(qb::platformFileStore());
    g_menuWindow = &dialog;
    UINT_PTR timer = 0;
    EXPECT_EQ(runMainWindow(
                  dialog,
                  [&](CMainDlg& d) {
                      // Fires while the menu is tracked: the close request,
                      // then the menu shut.
                      timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
                          if (!g_menuWindow)
                              return;
                          std::ofstream("quillbank.ini", std::ios::binary | std::ios::trunc) << colleagues;
                          EXPECT_FALSE(g_menuWindow->refreshFromFile());
                          SendMessageA(*g_menuWindow, WM_CLOSE, 0, 0);
                          EXPECT_EQ(g_menuWindow->Catalogue().size(), 1u) << "freed under the open menu";
                          g_menuWindow = nullptr;
                          EndMenu();
                      });
                      clickFirstRow(d);
                  },
                  true),
              IDCANCEL);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_menuWindow, nullptr) << "the menu was not open";
    g_menuWindow = nullptr;
    EXPECT_EQ(folder.file(), colleagues);
}

// A log-off cannot wait: saved at once (restored position, not the minimised
// one), nothing freed.
TEST(MainWindow, EndingTheSessionSavesAtOnceAndFreesNothing)
{
    WorkFolder folder(kOneHost);
    CMainDlg dialog(qb::platformFileStore());
    runMainWindow(dialog, [&](CMainDlg& d) {
        SetWindowPos(d, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(d, SW_MINIMIZE);
        EXPECT_TRUE(SendMessageA(d, WM_QUERYENDSESSION, 0, 0));
        SendMessageA(d, WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(d.Catalogue().size(), 1u);
        EXPECT_EQ(d.HostList().GetItemCount(), 1);
    });
    EXPECT_EQ(folder.file(), kOneHostMoved);
}

// A file held open by another program shows what could be read (nothing)
// and says so once; once the file can be read, the closing save merges it
// and keeps every host it held.
TEST(MainWindow, AFileThatCannotBeReadIsNeverWrittenOver)
{
    WorkFolder folder(kOneHost);
    HANDLE holder = CreateFileA("quillbank.ini", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    std::vector<std::string> messages;
    qbtest::DialogDriver driver;
    driver.on(win::executableName(), [&](HWND box) {
        messages.push_back(qbtest::itemText(box, 0xFFFF));
        qbtest::postClick(box, IDOK);
    });
    CMainDlg dialog(qb::platformFileStore());
    driver.next([&](HWND) {
        EXPECT_EQ(messages.size(), 1u) << "told once at start";
        EXPECT_EQ(dialog.HostList().GetItemCount(), 0);
        CloseHandle(holder);
        holder = nullptr;
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    if (holder)
        CloseHandle(holder);
    ASSERT_EQ(messages.size(), 1u);
    const std::string opening = "Unable to read quillbank.ini: ";
    EXPECT_EQ(messages[0].rfind(opening, 0), 0u) << messages[0];
    EXPECT_GT(messages[0].find('\n'), opening.size()) << "a reason follows";
    // The position is the window's own; the hosts are the file's.
    const std::string saved = folder.file();
    EXPECT_EQ(saved.substr(saved.find("\r\n")), kOneHost.substr(kOneHost.find("\r\n")));
}
