// The main window in-process under Wine: sizing to its sorted rows, what
// ending by close request and by OK write; and the icon
// picker on the shared list. (Position, outer height and taskbar flag are
// checked on the real window by tests/e2e/test_main_window.sh.)
#include "app/win32/MainDlg.h"
#include "controls/IconStrip.h"
#include "res/resource.h"
#include "win/App.h"

#include <gtest/gtest.h>

#include "DialogDriver.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A fresh working folder holding `ini` as quillbank.ini (CR LF lines), made
// current for the test and removed afterwards.
class WorkFolder
{
public:
    explicit WorkFolder(const std::string& ini)
    {
        std::string base(MAX_PATH + 1, '\0');
        base.resize(GetTempPathA(static_cast<DWORD>(base.size()), base.data()));
        m_path = base + "qb-mainwin-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++s_count);
        CreateDirectoryA(m_path.c_str(), nullptr);
        m_previous.resize(MAX_PATH + 1);
        m_previous.resize(GetCurrentDirectoryA(static_cast<DWORD>(m_previous.size()), m_previous.data()));
        SetCurrentDirectoryA(m_path.c_str());
        if (!ini.empty())
            std::ofstream(m_path + "\\quillbank.ini") << ini;  // text mode: LF -> CR LF
    }
    ~WorkFolder()
    {
        SetCurrentDirectoryA(m_previous.c_str());
        DeleteFileA((m_path + "\\quillbank.ini").c_str());
        RemoveDirectoryA(m_path.c_str());
    }
    std::string file() const
    {
        std::ifstream in(m_path + "\\quillbank.ini", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    static inline int s_count = 0;
    std::string m_path;
    std::string m_previous;
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

int heightOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

std::string hostsText(int count)
{
    std::string text = "<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>1024<RPDY>768<END>\n";
    const char* titles[] = {"Charlie", "Alpha", "Bravo"};
    for (int i = 0; i < count; ++i)
        text += std::string("<ITEM>") + titles[i] + "<HOST>h" + std::to_string(i) + "<ICON>" + std::to_string(7 + i) +
                "<COL>" + (i == 2 ? "255" : "-1") + "\n";
    return text;
}

const std::string kOneHost = "<X>10<Y>20<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<HIDE><END>\n"
                             "<ITEM>One<HOST>h1<ICON>3<COL>255\n"
                             "  <SEP>\n";
const std::string kOneHostSaved = "<X>10<Y>20<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<HIDE><END>\r\n"
                                  "<ITEM>One<HOST>h1<ICON>3<COL>255\r\n"
                                  "  <SEP>\r\n";
// The same, saved after the window was moved to (140, 160).
const std::string kOneHostMoved = "<X>140<Y>160" + kOneHostSaved.substr(10);

void clickFirstRow(CMainDlg& d)
{
    auto& list = d.HostList();
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE notice = {};
    notice.hdr = {list, IDC_HOST_LIST, static_cast<UINT>(NM_CLICK)};
    SendMessageA(d, WM_NOTIFY, IDC_HOST_LIST, reinterpret_cast<LPARAM>(&notice));
}

CMainDlg* g_menuWindow = nullptr;

}  // namespace

// List height n * h + 2; no rows leave the template's size alone; rows sorted by display text and carrying their host.
TEST(MainWindow, FitsItsHeightToTheSortedRowsAndKeepsItsWidth)
{
    int templateWidth = 0;
    for (int rows : {0, 1, 3}) {
        WorkFolder folder(rows == 0 ? "" : hostsText(rows));
        CMainDlg dialog(qb::platformFileStore());
        runMainWindow(dialog, [&](CMainDlg& d) {
            auto& list = d.HostList();
            ASSERT_EQ(list.GetItemCount(), rows);
            RECT outer;
            GetWindowRect(d, &outer);
            if (rows == 0) {
                RECT templateList = {0, 0, 81, 114};
                MapDialogRect(d, &templateList);
                EXPECT_EQ(heightOf(list), templateList.bottom);
                d.fitWindowToList();
                EXPECT_EQ(heightOf(d), outer.bottom - outer.top);
                templateWidth = outer.right - outer.left;
                return;
            }
            RECT first = {};
            list.GetItemRect(0, first, LVIR_BOUNDS);
            const int h = first.bottom - first.top;
            EXPECT_EQ(heightOf(list), rows * h + 2) << rows << " rows";
            EXPECT_EQ(outer.right - outer.left, templateWidth);
            if (rows == 3) {
                const char* expected[] = {"Alpha", "Bravo||255", "Charlie"};
                for (int row = 0; row < 3; ++row) {
                    EXPECT_EQ(list.GetItemText(row, 0), expected[row]);
                    auto* host = reinterpret_cast<qb::HostItem*>(list.GetItemData(row));
                    ASSERT_NE(host, nullptr);
                    EXPECT_EQ(qb::hostDisplayText(*host), expected[row]);
                    EXPECT_EQ(list.GetItemImage(row), host->icon);
                }
            }
        });
    }
}

// Only a close request saves (with the moved position, byte for byte); OK ends
// without writing. (Shift + click is checked on the real window.)
TEST(MainWindow, OnlyACloseRequestSaves)
{
    for (bool close : {true, false}) {
        SCOPED_TRACE(close ? "close request" : "OK");
        WorkFolder folder(kOneHost);
        const std::string before = folder.file();
        CMainDlg dialog(qb::platformFileStore());
        const INT_PTR result = runMainWindow(
            dialog,
            [close](CMainDlg& d) {
                SetWindowPos(d, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                if (close) {
                    SendMessageA(d, WM_CLOSE, 0, 0);
                    return;
                }
                // Escape, handled before OK, never closes the window.
                PostMessageA(d.HostList(), WM_KEYDOWN, VK_ESCAPE, 0);
                PostMessageA(d, WM_KEYDOWN, VK_ESCAPE, 0);
                PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            },
            true);
        EXPECT_EQ(result, close ? IDCANCEL : IDOK);
        EXPECT_EQ(folder.file(), close ? kOneHostMoved : before);
        if (close) {
            EXPECT_TRUE(dialog.Catalogue().empty()) << "the catalogue is freed";
        }
    }
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
    static const std::string colleagues = kOneHostSaved + "<ITEM>Two<HOST>h2<ICON>0<COL>-1\r\n";
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
    const std::string tail = "\nChanges made now will not be saved. Start Quillbank again when the file can be read.";
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
    EXPECT_EQ(messages[0].rfind("Unable to read quillbank.ini: ", 0), 0u) << messages[0];
    EXPECT_GT(messages[0].size(), std::string("Unable to read quillbank.ini: ").size() + tail.size());
    EXPECT_EQ(messages[0].substr(messages[0].size() - tail.size()), tail);
    // The position is the window's own; the hosts are the file's.
    const std::string saved = folder.file();
    EXPECT_EQ(saved.substr(saved.find("\r\n")), kOneHostSaved.substr(kOneHostSaved.find("\r\n")));
}
