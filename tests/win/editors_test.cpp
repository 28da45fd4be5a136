// The editors shown for real and worked from scripts: what a user sees and what comes back.
#include "../core/catalogue_test_support.h"
#include "DialogDriver.h"

#include "app/win32/ImportDlg.h"
#include "controls/IconStrip.h"
#include "editors/win32/EditCommandDlg.h"
#include "editors/win32/EditItemDlg.h"
#include "editors/win32/OptionsDlg.h"
#include "res/resource.h"
#include "win/App.h"
#include "win/Controls.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

using namespace qbtest;

namespace {

bool checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

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

std::unique_ptr<qb::HostItem> hostWith(std::initializer_list<const char*> names)
{
    auto host = qb::newHost();
    host->entries = namedEntries(names);
    return host;
}

}  // namespace

TEST(EntryEditor, RadiosEnableTheKindsFieldsAndOkReturnsTheKind)
{
    DialogDriver dialogs;
    dialogs.on("Edit Command", [](HWND dlg) {
        EXPECT_TRUE(checked(dlg, IDC_KIND_CUSTOM));
        SetDlgItemTextA(dlg, IDC_ENTRY_NAME, "Console");
        SetDlgItemTextA(dlg, IDC_COMMAND, "cmd.exe");
        SetDlgItemTextA(dlg, IDC_PARAMS, "/k");
        // Which field goes with which kind is the core's; here, that the radios apply it.
        const int radios[][3] = {{IDC_KIND_TEMPLATE, IDC_ENTRY_DRIVES, IDC_COMMAND},
                                 {IDC_KIND_SEPARATOR, 0, IDC_ENTRY_ICON},
                                 {IDC_KIND_CUSTOM, IDC_COMMAND, IDC_URL},
                                 {IDC_KIND_URL, IDC_URL, IDC_ENTRY_DRIVES}};
        for (const auto& [radio, enabled, disabled] : radios) {
            click(dlg, radio);
            EXPECT_TRUE(checked(dlg, radio));
            EXPECT_TRUE(!enabled || IsWindowEnabled(GetDlgItem(dlg, enabled))) << radio;
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, disabled))) << radio;
        }
        // Typed text longer than the field scrolls instead of being cut.
        const std::string longText = "https://monitoring.corp.example.com/status/hosts/fileserver01?view=details";
        typeText(dlg, IDC_URL_NAME, longText);
        EXPECT_EQ(itemText(dlg, IDC_URL_NAME), longText);
        SetDlgItemTextA(dlg, IDC_URL, "http://x/");
        postClick(dlg, IDOK);
    });
    CEditCommandDlg editor;
    editor.m_imageList = iconImagesForDpi(96);
    editor.m_entry.icon = 0;
    editor.m_entry.kind = qb::CustomCommand;
    ASSERT_EQ(editor.DoModal(), IDOK);
    EXPECT_EQ(editor.m_entry.kind, qb::Url);
    // The custom command's texts travel out with the new kind.
    EXPECT_EQ(editor.m_entry.program + " " + editor.m_entry.params + " " + editor.m_entry.url, "cmd.exe /k http://x/");
}

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
        // Only the chosen kind's texts are written: as a URL the entry is fine.
        click(dlg, IDC_KIND_URL);
        SetDlgItemTextA(dlg, IDC_URL, "http://x/");
        postClick(dlg, IDOK);
    });
    CEditCommandDlg entryEditor;
    entryEditor.m_imageList = iconImagesForDpi(96);
    ASSERT_EQ(entryEditor.DoModal(), IDOK);
    EXPECT_EQ(entryEditor.m_entry.kind, qb::Url);
    EXPECT_EQ(entryEditor.m_entry.params, "/c dir > out.txt");

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
    auto host = hostWith({"a", "b"});
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

TEST(HostEditor, EntryButtonsChangeTheWorkingCopyAndTheRows)
{
    auto host = hostWith({"a", "b", "c"});
    DialogDriver dialogs;
    dialogs.on("Edit Item", [&](HWND dlg) {
        // The selection follows the moved row (the rows' rules are the core's).
        win::ListView list;
        list.Attach(GetDlgItem(dlg, IDC_ENTRY_LIST));
        list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        click(dlg, IDC_ENTRY_DOWN);
        EXPECT_EQ(host->entries[1].name(), "a");
        EXPECT_EQ(list.GetFirstSelected(), 1);
        click(dlg, IDC_ENTRY_DELETE);
        EXPECT_EQ(list.GetItemText(0, 0) + list.GetItemText(1, 0) + std::to_string(list.GetItemCount()), "bc2");

        SetDlgItemTextA(dlg, IDC_TEMPLATE_HOSTNAME, "srv1");
        SetDlgItemTextA(dlg, IDC_TEMPLATE_DRIVES, "DE");
        click(dlg, IDC_TEMPLATE_ADD);
        EXPECT_EQ(list.GetItemText(3, 2), "/v:srv1 /w:1280 /h:1024") << "the editor's screen size";

        click(dlg, IDC_TEMPLATE_ADD);  // now longer than the list shows
        EXPECT_GT(host->entries.size(), size_t(list.GetCountPerPage()));
        // New entries go at the end: that row is selected and scrolled into view.
        const int last = list.GetItemCount() - 1;
        EXPECT_EQ(list.GetFirstSelected(), last);
        RECT row = {};
        list.GetItemRect(last, row, LVIR_BOUNDS);
        EXPECT_TRUE(row.top >= 0 && row.bottom <= list.GetClientRect().bottom) << row.top << ".." << row.bottom;
        postClick(dlg, IDOK);
    });
    HostEditor editor(*host);
    editor.dialog.m_rdpWidth = 1280;
    editor.dialog.m_rdpHeight = 1024;
    ASSERT_EQ(editor.dialog.DoModal(), IDOK);
}

// The e2e editing script shows and takes back the numbers; here the box and a path longer than any buffer.
TEST(OptionsEditor, TakesTheFormBackUncutOnOk)
{
    const std::string longPath(5000, 'x');
    DialogDriver dialogs;
    dialogs.on("Options", [&](HWND dlg) {
        EXPECT_TRUE(checked(dlg, IDC_HIDE_TASKBAR_BUTTON));
        CheckDlgButton(dlg, IDC_HIDE_TASKBAR_BUTTON, BST_UNCHECKED);
        SendDlgItemMessageA(dlg, IDC_ALTERNATE_BROWSER_PATH, EM_SETLIMITTEXT, 0, 0);
        SetDlgItemTextA(dlg, IDC_ALTERNATE_BROWSER_PATH, longPath.c_str());
        postClick(dlg, IDOK);
    });
    COptionsDlg dialog;
    dialog.m_form = {true, "c:\\b.exe", "-1", "768"};
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(dialog.m_form.hideTaskbarButton);
    EXPECT_EQ(dialog.m_form.alternateBrowserText, longPath);
}

// Runs this thread's messages until the control shows `text` (false after 10 s).
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

// Credentials and the preview are the end-to-end script's, against a real directory.
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
