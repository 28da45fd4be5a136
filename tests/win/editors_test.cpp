// The three editors shown for real and worked from scripts, checking what a
// user would see (rows, enabled fields) and what comes back.
#include "DialogDriver.h"

#include "app/win32/ImportDlg.h"
#include "controls/IconStrip.h"
#include "editors/EntryKindFields.h"
#include "editors/win32/EditCommandDlg.h"
#include "editors/win32/EditItemDlg.h"
#include "editors/win32/OptionsDlg.h"
#include "res/resource.h"
#include "win/Controls.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

using namespace qbtest;

namespace {

HIMAGELIST sharedImages()
{
    return createSharedImageListFromResources(GetModuleHandleA(nullptr));
}

bool checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// Enabled state of every kind-dependent control against the kind's column.
void expectFieldsFor(HWND dialog, qb::EntryKind kind)
{
    const std::pair<int, qb::EntryField> controls[] = {
        {IDC_ENTRY_NAME, qb::EntryField::Name},
        {IDC_COMMAND, qb::EntryField::Command},
        {IDC_PARAMS, qb::EntryField::Params},
        {IDC_BOLD, qb::EntryField::Bold},
        {IDC_CONFIRM, qb::EntryField::Confirm},
        {IDC_ENTRY_ICON, qb::EntryField::Icon},
        {IDC_ENTRY_TEMPLATE_HOST, qb::EntryField::TemplateHost},
        {IDC_ENTRY_DRIVES, qb::EntryField::Drives},
        {IDC_URL, qb::EntryField::Url},
        {IDC_URL_NAME, qb::EntryField::UrlName},
        {IDC_USE_ALTERNATE_BROWSER, qb::EntryField::AlternateBrowser},
    };
    for (const auto& [id, field] : controls)
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE, qb::fieldEnabled(field, kind))
            << "control " << id << " for kind " << kind;
}

// The editor's entry list, wrapped without subclassing.
struct EntryList : win::ListView {
    explicit EntryList(HWND dialog) { Attach(::GetDlgItem(dialog, IDC_ENTRY_LIST)); }
};

std::vector<std::string> column(HWND dialog, int subItem)
{
    const EntryList list(dialog);
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetItemCount(); ++i)
        texts.push_back(list.GetItemText(i, subItem));
    return texts;
}

int selectedRow(HWND dialog)
{
    return EntryList(dialog).GetFirstSelected();
}

void selectRow(HWND dialog, int row)
{
    EntryList(dialog).SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// New entries go at the end: that row is selected and scrolled into view.
void expectLastRowSelectedAndShown(HWND dialog)
{
    const EntryList list(dialog);
    const int last = list.GetItemCount() - 1;
    EXPECT_EQ(list.GetFirstSelected(), last);
    RECT row = {};
    list.GetItemRect(last, row, LVIR_BOUNDS);
    const RECT client = list.GetClientRect();
    EXPECT_TRUE(row.top >= 0 && row.bottom <= client.bottom) << "row at " << row.top << ".." << row.bottom;
}

std::unique_ptr<qb::HostItem> hostWith(std::initializer_list<const char*> names)
{
    auto host = qb::newHost();
    host->title = "Alpha";
    host->hostName = "a01";
    host->icon = 3;
    for (const char* name : names) {
        host->entries.push_back(qb::newEntry());
        host->entries.back()->name = name;
    }
    return host;
}

std::vector<std::string> names(const qb::HostItem& host)
{
    std::vector<std::string> out;
    for (const auto& e : host.entries)
        out.push_back(e->name);
    return out;
}

}  // namespace

// ---- entry editor -------------------------------------------------------------

TEST(EntryEditor, RadiosEnableTheKindsFieldsAndOkReturnsTheKind)
{
    DialogDriver dialogs;
    dialogs.on("Edit Command", [](HWND dlg) {
        EXPECT_TRUE(checked(dlg, IDC_KIND_CUSTOM));
        expectFieldsFor(dlg, qb::CustomCommand);

        SetDlgItemTextA(dlg, IDC_ENTRY_NAME, "Console");
        SetDlgItemTextA(dlg, IDC_COMMAND, "cmd.exe");
        SetDlgItemTextA(dlg, IDC_PARAMS, "/k");
        const std::pair<int, qb::EntryKind> radios[] = {
            {IDC_KIND_TEMPLATE, qb::WindowsTemplate},
            {IDC_KIND_SEPARATOR, qb::Separator},
            {IDC_KIND_CUSTOM, qb::CustomCommand},
            {IDC_KIND_URL, qb::Url},
        };
        for (const auto& [radio, kind] : radios) {
            click(dlg, radio);
            EXPECT_TRUE(checked(dlg, radio));
            expectFieldsFor(dlg, kind);
        }
        // Typed text longer than the field scrolls instead of being cut.
        const std::string longText =
            "https://monitoring.corp.example.com/status/hosts/fileserver01?view=details&range=7d";
        const std::pair<int, int> fields[] = {
            {IDC_KIND_TEMPLATE, IDC_ENTRY_TEMPLATE_HOST},
            {IDC_KIND_TEMPLATE, IDC_ENTRY_DRIVES},
            {IDC_KIND_URL, IDC_URL_NAME},
            {IDC_KIND_URL, IDC_URL},
        };
        for (const auto& [radio, field] : fields) {
            click(dlg, radio);
            typeText(dlg, field, longText);
            EXPECT_EQ(itemText(dlg, field), longText) << "field " << field;
        }
        SetDlgItemTextA(dlg, IDC_URL, "http://x/");
        postClick(dlg, IDOK);
    });
    CEditCommandDlg editor;
    editor.m_imageList = sharedImages();
    editor.m_entry.icon = 0;
    editor.m_entry.kind = qb::CustomCommand;
    ASSERT_EQ(editor.DoModal(), IDOK);
    EXPECT_EQ(editor.m_entry.kind, qb::Url);
    // The custom command's texts travel out with the new kind.
    EXPECT_EQ(editor.m_entry.program + " " + editor.m_entry.params + " " + editor.m_entry.url, "cmd.exe /k http://x/");
}

// ---- host editor ---------------------------------------------------------------

TEST(HostEditor, EntryButtonsChangeTheWorkingCopyAndTheRows)
{
    auto host = hostWith({"a", "b", "c"});
    DialogDriver dialogs;
    dialogs.on("Edit Item", [&](HWND dlg) {
        EXPECT_EQ(column(dlg, 0), (std::vector<std::string>{"a", "b", "c"}));

        // Without a selection the row buttons do nothing.
        click(dlg, IDC_ENTRY_DELETE);
        EXPECT_EQ(host->entries.size(), 3u);

        // The selection follows the moved row.
        selectRow(dlg, 0);
        click(dlg, IDC_ENTRY_DOWN);
        EXPECT_EQ(names(*host), (std::vector<std::string>{"b", "a", "c"}));
        EXPECT_EQ(selectedRow(dlg), 1);
        click(dlg, IDC_ENTRY_UP);
        EXPECT_EQ(column(dlg, 0), (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(selectedRow(dlg), 0);
        click(dlg, IDC_ENTRY_DELETE);
        EXPECT_EQ(column(dlg, 0), (std::vector<std::string>{"b", "c"}));

        for (int field : {IDC_TEMPLATE_HOSTNAME, IDC_TEMPLATE_DRIVES}) {
            typeText(dlg, field, "fileserver01.corp.example.com");
            EXPECT_EQ(itemText(dlg, field), "fileserver01.corp.example.com") << "typing is not cut";
        }
        SetDlgItemTextA(dlg, IDC_TEMPLATE_HOSTNAME, "srv1");
        SetDlgItemTextA(dlg, IDC_TEMPLATE_DRIVES, "DE");
        click(dlg, IDC_TEMPLATE_ADD);
        expectLastRowSelectedAndShown(dlg);
        EXPECT_EQ(column(dlg, 0).size(), 9u);
        EXPECT_EQ(column(dlg, 2)[3], "/v:srv1 /w:1280 /h:1024") << "the editor's screen size";
        EXPECT_EQ(itemText(dlg, IDC_TEMPLATE_HOSTNAME), "srv1");

        dialogs.on("Edit Command", [](HWND entry) {
            click(entry, IDC_KIND_URL);
            SetDlgItemTextA(entry, IDC_URL_NAME, "Portal");
            SetDlgItemTextA(entry, IDC_URL, "http://%HOST%/");
            postClick(entry, IDOK);
        });
        click(dlg, IDC_ENTRY_ADD);
        ASSERT_EQ(host->entries.size(), 10u);
        EXPECT_EQ(host->entries.back()->kind, qb::Url);
        EXPECT_EQ(column(dlg, 0).back(), "Portal");
        EXPECT_EQ(column(dlg, 2).back(), "Default Browser");
        expectLastRowSelectedAndShown(dlg);
        click(dlg, IDC_TEMPLATE_ADD);  // now longer than the list shows
        EXPECT_GT(host->entries.size(), size_t(ListView_GetCountPerPage(GetDlgItem(dlg, IDC_ENTRY_LIST))));
        expectLastRowSelectedAndShown(dlg);

        SetDlgItemTextA(dlg, IDC_HOST_TITLE, "Renamed");
        SendDlgItemMessageA(dlg, IDC_HOST_ICON, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        postClick(dlg, IDOK);
    });
    CEditItemDlg editor;
    editor.m_imageList = sharedImages();
    editor.m_host = host.get();
    editor.m_rdpWidth = 1280;
    editor.m_rdpHeight = 1024;
    ASSERT_EQ(editor.DoModal(), IDOK);
    EXPECT_EQ(host->title, "Renamed");
    EXPECT_EQ(host->hostName, "a01");
    EXPECT_EQ(host->icon, -1);
}

// ---- options --------------------------------------------------------------------

// The form is shown at the start and taken back only on OK, texts uncut.
TEST(OptionsEditor, FormShownAtStartAndTakenBackOnlyOnOk)
{
    const auto fields = [](const qb::OptionsForm& f) {
        return std::vector<std::string>{f.hideTaskbarButton ? "hide" : "show", f.alternateBrowserText, f.rdpWidthText,
                                        f.rdpHeightText};
    };
    const qb::OptionsForm given{true, "c:\\b.exe", "-1", "768"};
    const std::string longPath(5000, 'x');
    for (int button : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(button);
        std::vector<std::string> shown;
        DialogDriver dialogs;
        dialogs.on("Options", [&](HWND dlg) {
            shown = {checked(dlg, IDC_HIDE_TASKBAR_BUTTON) ? "hide" : "show", itemText(dlg, IDC_ALTERNATE_BROWSER_PATH),
                     itemText(dlg, IDC_RDP_WIDTH), itemText(dlg, IDC_RDP_HEIGHT)};
            CheckDlgButton(dlg, IDC_HIDE_TASKBAR_BUTTON, BST_UNCHECKED);
            SendDlgItemMessageA(dlg, IDC_ALTERNATE_BROWSER_PATH, EM_SETLIMITTEXT, 0, 0);
            SetDlgItemTextA(dlg, IDC_ALTERNATE_BROWSER_PATH, longPath.c_str());
            SetDlgItemTextA(dlg, IDC_RDP_WIDTH, "1280");
            SetDlgItemTextA(dlg, IDC_RDP_HEIGHT, "");
            postClick(dlg, button);
        });
        COptionsDlg dialog;
        dialog.m_form = given;
        ASSERT_EQ(dialog.DoModal(), button);
        EXPECT_EQ(shown, fields(given));
        const std::vector<std::string> changed = {"show", longPath, "1280", ""};
        EXPECT_EQ(fields(dialog.m_form), button == IDOK ? changed : fields(given));
    }
}

namespace {

// Runs this thread's messages until the control shows `text` (false after 10 s).
bool pumpUntilText(HWND dialog, int id, const std::string& text)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
        if (itemText(dialog, id) == text)
            return true;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        Sleep(10);
    }
    return false;
}

}  // namespace

TEST(ImportDialog, DirectorySearchRunsAsideCancelsAndPreviews)
{
    qb::HostCatalogue catalogue;
    catalogue.push_back(qb::newHost());
    catalogue.back()->hostName = "pc01";
    CImportDlg dialog(catalogue, qb::platformFileStore());
    int searches = 0;
    DirectoryRequest lastRequest;
    dialog.m_searchDirectory = [&](const DirectoryRequest& request, DirectorySearchState& progress) {
        lastRequest = request;
        qb::ImportRead read;
        if (++searches == 1) {  // runs until cancelled
            progress.found = 3;
            while (!progress.cancelled)
                Sleep(5);
            return read;
        }
        read.hosts = {{"A", "PC01.corp.example", -1, -1, {}, {}},
                      {"B", "pc02", -1, -1, {}, qb::kSkipDisabled},
                      {"C", "pc03", -1, -1, {}, {}}};
        return read;
    };
    DialogDriver dialogs([&](HWND d) {
        CheckRadioButton(d, IDC_IMPORT_FROM_FILE, IDC_IMPORT_FROM_DIRECTORY, IDC_IMPORT_FROM_DIRECTORY);
        click(d, IDC_IMPORT_FROM_DIRECTORY);
        EXPECT_TRUE(checked(d, IDC_IMPORT_SIGN_IN));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_IMPORT_USER)));
        SetDlgItemTextA(d, IDC_IMPORT_ADDRESS, "ldap://127.0.0.1/DC=test,DC=lan");
        click(d, IDC_IMPORT_READ);
        EXPECT_TRUE(pumpUntilText(d, IDC_IMPORT_STATUS, "Searching the directory... 3 found"));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        click(d, IDCANCEL);  // stops the search, not the dialog
        EXPECT_TRUE(pumpUntilText(d, IDC_IMPORT_STATUS, "The search was cancelled."));
        ASSERT_TRUE(IsWindow(d));

        CheckDlgButton(d, IDC_IMPORT_SIGN_IN, BST_UNCHECKED);
        click(d, IDC_IMPORT_SIGN_IN);
        SetDlgItemTextA(d, IDC_IMPORT_USER, "Administrator@TEST.LAN");
        SetDlgItemTextA(d, IDC_IMPORT_PASSWORD, "secret");
        click(d, IDC_IMPORT_READ);
        EXPECT_TRUE(pumpUntilText(d, IDC_IMPORT_STATUS, "3 found, 1 to import."));
        postClick(d, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(lastRequest.signedInUser);
    EXPECT_EQ(lastRequest.user, "Administrator@TEST.LAN");
    EXPECT_EQ(lastRequest.password, "secret");
    EXPECT_EQ(dialog.m_chosen, (std::vector<bool>{false, false, true}));
}
