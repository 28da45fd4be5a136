// The main window in-process under Wine: sizing to its rows, the sorted rows
// and their hosts, what ending by close request, by OK and by Shift + click
// write; and the icon picker on the shared list. (Position and taskbar flag
// are checked on the real window by tests/e2e/test_main_window.sh.)
#include "app/win32/MainDlg.h"
#include "controls/IconStrip.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

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
        if (!ini.empty()) {
            std::ofstream(m_path + "\\quillbank.ini") << ini;  // text mode: LF -> CR LF
        }
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
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
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
    static thread_local bool s_bodyEnds;
    s_bodyEnds = bodyEnds;
    static thread_local CMainDlg* s_dialog;
    static thread_local std::function<void(CMainDlg&)>* s_body;
    s_dialog = &dialog;
    s_body = &body;
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        (*s_body)(*s_dialog);
        if (!s_bodyEnds) {
            s_dialog->EndDialog(IDOK);
        }
    });
    return dialog.DoModal();
}

void pumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int heightOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

int widthOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

std::string hostsText(int count)
{
    std::string text = "<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>1024<RPDY>768<END>\n";
    const char* titles[] = {"Charlie", "Alpha", "Bravo"};
    for (int i = 0; i < count; ++i) {
        text += std::string("<ITEM>") + titles[i] + "<HOST>h" + std::to_string(i) + "<ICON>" +
                std::to_string(7 + i) + "<COL>" + (i == 2 ? "255" : "-1") + "\n";
    }
    return text;
}

}  // namespace

TEST(MainWindow, FitsItsHeightToTheRowsAndKeepsItsWidth)
{
    int templateWidth = 0;
    for (int rows : {0, 1, 3}) {
        WorkFolder folder(rows == 0 ? "" : hostsText(rows));
        CMainDlg dialog;
        runMainWindow(dialog, [&](CMainDlg& d) {
            auto& list = d.HostList();
            ASSERT_EQ(list.GetItemCount(), rows);
            if (rows == 0) {
                // No rows: the list keeps the template's height, and so does
                // the window when asked to fit again.
                RECT templateList = {0, 0, 81, 114};
                MapDialogRect(d, &templateList);
                EXPECT_EQ(heightOf(list), templateList.bottom);
                const int before = heightOf(d);
                d.fitWindowToList();
                EXPECT_EQ(heightOf(d), before);
                templateWidth = widthOf(d);
                return;
            }
            RECT first = {};
            list.GetItemRect(0, first, LVIR_BOUNDS);
            const int h = first.bottom - first.top;
            EXPECT_EQ(heightOf(d), rows * h + 25) << rows << " rows";
            EXPECT_EQ(heightOf(list), rows * h + 2) << rows << " rows";
            EXPECT_EQ(widthOf(d), templateWidth);
        });
    }
}

TEST(MainWindow, RowsAreSortedAndCarryTheirHosts)
{
    WorkFolder folder(hostsText(3));
    CMainDlg dialog;
    runMainWindow(dialog, [](CMainDlg& d) {
        auto& list = d.HostList();
        const char* expected[] = {"Alpha", "Bravo||255", "Charlie"};
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(list.GetItemText(row, 0), expected[row]);
            auto* host = reinterpret_cast<qb::HostItem*>(list.GetItemData(row));
            ASSERT_NE(host, nullptr);
            EXPECT_EQ(qb::hostDisplayText(*host), expected[row]);
            EXPECT_EQ(list.GetItemImage(row), host->icon);
        }
        EXPECT_TRUE(list.GetStyle() & LVS_OWNERDRAWFIXED);
        EXPECT_EQ(list.m_rowColour, GetSysColor(COLOR_BTNFACE));
        // Escape never closes the window.
        PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(d, WM_KEYDOWN, VK_ESCAPE, 0);
        pumpPending();
        EXPECT_TRUE(IsWindowEnabled(d));
    });
}

TEST(MainWindow, CloseRequestSavesWithThePositionAndOkDoesNot)
{
    const std::string original = "<X>10<Y>20<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<HIDE><END>\n"
                                 "<ITEM>One<HOST>h1<ICON>3<COL>255\n"
                                 "  <SEP>\n";
    {
        WorkFolder folder(original);
        CMainDlg dialog;
        const INT_PTR result = runMainWindow(dialog, [](CMainDlg& d) {
            SetWindowPos(d, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            SendMessageA(d, WM_CLOSE, 0, 0);
        }, true);
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(dialog.Catalogue().empty()) << "the catalogue is freed";
        EXPECT_EQ(folder.file(), "<X>140<Y>160<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<HIDE><END>\r\n"
                                 "<ITEM>One<HOST>h1<ICON>3<COL>255\r\n"
                                 "  <SEP>\r\n");
    }
    {
        WorkFolder folder(original);
        const std::string before = folder.file();
        CMainDlg dialog;
        const INT_PTR result = runMainWindow(dialog, [](CMainDlg& d) {
            SetWindowPos(d, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }, true);
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(folder.file(), before) << "OK ends without saving";
        EXPECT_EQ(dialog.Catalogue().size(), 1u);
    }
}

TEST(MainWindow, ClickDeselectsTheRowAndShiftEndsWithoutSaving)
{
    const std::string ini = hostsText(2);
    // Whatever the host's menu does, it is closed again at once.
    const UINT_PTR menuCloser = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    const auto click = [](CMainDlg& d, int row) {
        auto& list = d.HostList();
        list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        NMITEMACTIVATE notice = {};
        notice.hdr = {list, IDC_HOST_LIST, static_cast<UINT>(NM_CLICK)};
        notice.iItem = row;
        SendMessageA(d, WM_NOTIFY, IDC_HOST_LIST, reinterpret_cast<LPARAM>(&notice));
    };
    {
        WorkFolder folder(ini);
        CMainDlg dialog;
        runMainWindow(dialog, [&](CMainDlg& d) {
            click(d, 1);
            EXPECT_EQ(d.HostList().GetNextItem(-1, LVNI_SELECTED), -1) << "no selection kept";
        });
    }
    {
        WorkFolder folder(ini);
        const std::string before = folder.file();
        // Shift's physical state is the platform's; here it is held.
        struct ShiftHeldMainDlg : CMainDlg {
            bool ShiftHeld() const override { return true; }
        } dialog;
        // Ends the window with 99 should the click not end it.
        static thread_local CMainDlg* s_open;
        s_open = &dialog;
        const UINT_PTR guard = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            s_open->EndDialog(99);
        });
        const INT_PTR result = runMainWindow(dialog, [&](CMainDlg& d) {
            SetWindowPos(d, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            click(d, 0);
        }, true);
        KillTimer(nullptr, guard);
        EXPECT_EQ(result, IDOK) << "Shift + click ends the window as OK does";
        EXPECT_EQ(folder.file(), before) << "without saving";
    }
    KillTimer(nullptr, menuCloser);
}

TEST(IconPicker, SelectsTheIconsPositionAndReadsItBack)
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    HIMAGELIST images = CreateSharedImageListFromResources(module);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), kIconCount);
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);

    HWND picker = CreateWindowExA(0, WC_COMBOBOXEXA, "", WS_POPUP | CBS_DROPDOWN, 0, 0, 60, 200, nullptr,
                                  nullptr, module, nullptr);
    ASSERT_NE(picker, nullptr);
    FillIconPicker(picker, images);
    EXPECT_EQ(SendMessageA(picker, CB_GETCOUNT, 0, 0), kIconCount);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(picker, CBEM_GETIMAGELIST, 0, 0)), images);
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = 57;
    ASSERT_TRUE(SendMessageA(picker, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.iImage, 57);
    EXPECT_EQ(item.iSelectedImage, 57);

    struct Case {
        int icon;
        int picked;
    };
    for (const Case c : {Case{0, 0}, Case{119, 119}, Case{120, -1}, Case{-1, -1}, Case{5, 5}}) {
        SelectPickerIcon(picker, 64);
        SelectPickerIcon(picker, c.icon);
        EXPECT_EQ(PickedIcon(picker), c.picked) << "icon " << c.icon;
    }
    DestroyWindow(picker);
}
