// The editors shown for real and worked from scripts: OK refused for a text the file cannot hold, Enter where it
// must not end a dialog, and Cancel during a directory search; no script does any of them.
#include "../core/catalogue_test_support.h"
#include "DialogDriver.h"

#include "app/win32/ImportDlg.h"
#include "controls/IconStrip.h"
#include "editors/win32/EditCommandDlg.h"
#include "editors/win32/EditItemDlg.h"
#include "editors/win32/OptionsDlg.h"
#include "res/resource.h"
#include "win/App.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

using namespace qbtest;

namespace {

// Clicks OK, which shows a message box that is answered here; afterwards the
// dialog is still open, the focus is on `id` and its whole text is selected.
std::string okRefusedFor(DialogDriver& dialogs, HWND dialog, int id)
{
    // Shared: a box that never came would otherwise leave a script pointing here.
    auto message = std::make_shared<std::string>();
    dialogs.on(win::executableName(), [message](HWND box) {
        *message = itemText(box, 0xFFFF);
        postClick(box, IDOK);
    });
    click(dialog, IDOK);
    EXPECT_TRUE(IsWindowVisible(dialog));
    const HWND control = GetDlgItem(dialog, id);
    EXPECT_EQ(GetFocus(), control);
    DWORD start = 1, end = 0;
    SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, itemText(dialog, id).size());
    return *message;
}

// The host editor over `host`, as the main window opens it.
struct HostEditor {
    explicit HostEditor(qb::HostItem& host)
    {
        dialog.m_imageList = iconImagesForDpi(96);
        dialog.m_host = &host;
    }
    qbtest::FakeLinkSystem links;
    CEditItemDlg dialog{links};
};

}  // namespace

// What each dialog refuses is the core's; here, that OK keeps the dialog and the text as typed.
TEST(Editors, OkWithATextTheFileCannotHoldKeepsTheDialogOpen)
{
    DialogDriver dialogs;
    auto host = qb::newHost();
    dialogs.on("Edit Item", [&](HWND dlg) {
        SetDlgItemTextA(dlg, IDC_HOST_TITLE, "Files <main> & more");
        EXPECT_EQ(okRefusedFor(dialogs, dlg, IDC_HOST_TITLE), "The Title field cannot hold the character \"<\".");
        EXPECT_EQ(itemText(dlg, IDC_HOST_TITLE), "Files <main> & more");
        // The template's Add refuses the same way and adds nothing.
        SetDlgItemTextA(dlg, IDC_TEMPLATE_HOSTNAME, "srv>1");
        dialogs.on(win::executableName(), [](HWND box) { postClick(box, IDOK); });
        click(dlg, IDC_TEMPLATE_ADD);
        EXPECT_TRUE(host->entries.empty());
        EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_TEMPLATE_HOSTNAME));
        SetDlgItemTextA(dlg, IDC_HOST_TITLE, "Files > more");
        postClick(dlg, IDOK);
    });
    ASSERT_EQ(HostEditor(*host).dialog.DoModal(), IDOK);
    EXPECT_EQ(host->title, "Files > more");

    dialogs.on("Edit Command", [&](HWND dlg) {
        SetDlgItemTextA(dlg, IDC_PARAMS, "/c dir > out.txt");
        EXPECT_EQ(okRefusedFor(dialogs, dlg, IDC_PARAMS), "The Params field cannot hold the character \">\".");
        postClick(dlg, IDCANCEL);
    });
    CEditCommandDlg entryEditor;
    entryEditor.m_imageList = iconImagesForDpi(96);
    EXPECT_EQ(entryEditor.DoModal(), IDCANCEL);

    dialogs.on("Options", [&](HWND dlg) {
        SetDlgItemTextA(dlg, IDC_ALTERNATE_BROWSER_PATH, "c:\\web\r\nbrowser.exe");
        EXPECT_EQ(okRefusedFor(dialogs, dlg, IDC_ALTERNATE_BROWSER_PATH),
                  "The Alternate Browser field cannot hold a line break.");
        postClick(dlg, IDCANCEL);
    });
    COptionsDlg options;
    EXPECT_EQ(options.DoModal(), IDCANCEL);
}

TEST(HostEditor, EnterOnTheEntriesListOpensTheSelectedEntry)
{
    auto host = qb::newHost();
    host->entries = namedEntries({"a", "b"});
    HWND hostEditor = nullptr;
    DialogDriver dialogs;
    dialogs.on("Edit Item", [&](HWND dlg) {
        hostEditor = dlg;
        const HWND list = GetDlgItem(dlg, IDC_ENTRY_LIST);
        ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SetFocus(list);
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
    });
    dialogs.on("Edit Command", [&](HWND dlg) {
        EXPECT_EQ(itemText(dlg, IDC_ENTRY_NAME), "b");
        SetDlgItemTextA(dlg, IDC_ENTRY_NAME, "b2");
        postClick(dlg, IDOK);
        postClick(hostEditor, IDCANCEL);  // after the entry editor has gone
    });
    EXPECT_EQ(HostEditor(*host).dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(host->entries[1].name(), "b2");
}

static bool pumpUntilText(HWND dialog, int id, const std::string& text)
{
    for (DWORD start = GetTickCount(); itemText(dialog, id) != text; Sleep(10)) {
        if (GetTickCount() - start > 10000)
            return false;
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageA(&message);
    }
    return true;
}

TEST(ImportDialog, CancelStopsARunningSearchNotTheDialog)
{
    qb::HostCatalogue catalogue;
    CImportDlg dialog(catalogue, platformStore());
    dialog.m_searchDirectory = [](const DirectoryRequest&, DirectorySearchState& progress) {
        progress.found = 3;
        while (!progress.cancelled)
            Sleep(5);
        return qb::ImportRead();
    };
    DialogDriver dialogs([&](HWND d) {
        CheckRadioButton(d, IDC_IMPORT_FROM_FILE, IDC_IMPORT_FROM_DIRECTORY, IDC_IMPORT_FROM_DIRECTORY);
        click(d, IDC_IMPORT_FROM_DIRECTORY);
        SetDlgItemTextA(d, IDC_IMPORT_ADDRESS, "ldap://127.0.0.1/DC=test,DC=lan");
        click(d, IDC_IMPORT_READ);
        EXPECT_TRUE(pumpUntilText(d, IDC_IMPORT_STATUS, "Searching the directory... 3 found"));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        click(d, IDCANCEL);
        EXPECT_TRUE(pumpUntilText(d, IDC_IMPORT_STATUS, "The search was cancelled."));
        postClick(d, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(ImportDialog, EnterInTheFileBoxShowsThePreview)
{
    TempFolder folder;
    const std::string path = folder.file("hosts.txt");
    writeFile(path, "pc01\npc02\n");
    qb::HostCatalogue catalogue;
    CImportDlg dialog(catalogue, platformStore());
    std::string status;
    DialogDriver dialogs([&](HWND d) {
        SetDlgItemTextA(d, IDC_IMPORT_FILE, path.c_str());
        const HWND file = GetDlgItem(d, IDC_IMPORT_FILE);
        SetFocus(file);
        PostMessageA(file, WM_KEYDOWN, VK_RETURN, 1);
        postClick(d, IDCANCEL);
    });
    dialogs.onDestroy([&](HWND d) { status = itemText(d, IDC_IMPORT_STATUS); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(status, "2 found, 2 to import.");
}
