#include "app/win32/ImportDlg.h"

#include "screen/DisplayScale.h"
#include "catalogue/TextRules.h"
#include "import/ImportFiles.h"
#include "res/resource.h"
#include "win/CommonDialogs.h"
#include "win/Dpi.h"

#include <thread>

namespace {

constexpr UINT kSearchEnded = WM_APP + 1;
constexpr UINT_PTR kProgressTimer = 1;

const char kFileFilter[] = "Host lists (*.csv;*.txt;*.rdg;*.xml;*.rdp)\0*.csv;*.txt;*.rdg;*.xml;*.rdp\0"
                           "All files (*.*)\0*.*\0";

bool rowChecked(const win::ListView& list, int row)
{
    return ((list.GetItemState(row, LVIS_STATEIMAGEMASK) >> 12) - 1) != 0;
}

void setRowChecked(win::ListView& list, int row, bool checked)
{
    list.SetItemState(row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

}  // namespace

// The worker's result, shared with the dialog so that a window closed
// during a search never leaves the worker writing into freed memory.
struct CImportDlg::Search {
    DirectorySearchState progress;
    std::mutex lock;
    std::optional<qb::ImportRead> read;
    std::string error;
};

CImportDlg::CImportDlg(const qb::HostCatalogue& catalogue, qb::FileStore& files, HWND parent)
    : win::Dialog(IDD_IMPORT, parent, IDR_MAINFRAME), m_catalogue(catalogue), m_files(files)
{}

CImportDlg::~CImportDlg()
{
    if (m_search)
        m_search->progress.cancelled = true;
}

BOOL CImportDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();
    m_list.Attach(GetDlgItem(IDC_IMPORT_LIST));
    m_list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const int dpi = int(win::dpiForWindow(m_hwnd));
    m_list.InsertColumn(0, "Title", qb::scaledForDpi(130, dpi));
    m_list.InsertColumn(1, "Host name", qb::scaledForDpi(170, dpi));
    m_list.InsertColumn(2, "Skipped", qb::scaledForDpi(90, dpi));
    CheckDlgButton(IDC_IMPORT_FROM_FILE, true);
    CheckDlgButton(IDC_IMPORT_SIGN_IN, true);
    SetDlgItemText(IDC_IMPORT_ICON, qb::formatNumber(m_options.icon));
    CheckDlgButton(IDC_IMPORT_TEMPLATE, m_options.windowsTemplate);
    UpdateSourceControls();
    return TRUE;
}

void CImportDlg::UpdateSourceControls()
{
    const bool directory = IsDlgButtonChecked(IDC_IMPORT_FROM_DIRECTORY);
    const bool searching = m_search != nullptr;
    const bool explicitUser = directory && !IsDlgButtonChecked(IDC_IMPORT_SIGN_IN);
    for (int id : {IDC_IMPORT_FILE, IDC_IMPORT_BROWSE})
        win::Window(GetDlgItem(id)).Enable(!directory && !searching);
    for (int id : {IDC_IMPORT_ADDRESS, IDC_IMPORT_SIGN_IN})
        win::Window(GetDlgItem(id)).Enable(directory && !searching);
    for (int id : {IDC_IMPORT_USER, IDC_IMPORT_PASSWORD})
        win::Window(GetDlgItem(id)).Enable(explicitUser && !searching);
    for (int id : {IDC_IMPORT_READ, IDOK, IDC_IMPORT_FROM_FILE, IDC_IMPORT_FROM_DIRECTORY})
        win::Window(GetDlgItem(id)).Enable(!searching);
}

bool CImportDlg::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDC_IMPORT_FROM_FILE:
    case IDC_IMPORT_FROM_DIRECTORY:
    case IDC_IMPORT_SIGN_IN: UpdateSourceControls(); return true;
    case IDC_IMPORT_BROWSE:
        if (auto path = win::chooseOpenFile(m_hwnd, std::string(kFileFilter, sizeof kFileFilter))) {
            SetDlgItemText(IDC_IMPORT_FILE, *path);
            ReadSource();
        }
        return true;
    case IDC_IMPORT_READ: ReadSource(); return true;
    }
    return win::Dialog::OnCommand(id, code, control);
}

bool CImportDlg::PreTranslateMessage(MSG& message)
{
    // Enter in the File box reads the file: the dialog manager would take it
    // for OK and import nothing that was looked at.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && message.hwnd == GetDlgItem(IDC_IMPORT_FILE)) {
        ReadSource();
        return true;
    }
    return win::Dialog::PreTranslateMessage(message);
}

void CImportDlg::ReadSource()
{
    if (IsDlgButtonChecked(IDC_IMPORT_FROM_DIRECTORY)) {
        StartDirectorySearch();
        return;
    }
    const std::string path = GetDlgItemText(IDC_IMPORT_FILE);
    if (path.empty()) {
        SetStatus("Choose a file first.");
        return;
    }
    try {
        ShowPreview(qb::readImportFile(path, m_files));
    } catch (const std::exception& error) {
        ShowPreview({});
        SetStatus(error.what());
    }
}

void CImportDlg::StartDirectorySearch()
{
    DirectoryRequest request;
    request.address = GetDlgItemText(IDC_IMPORT_ADDRESS);
    request.signedInUser = IsDlgButtonChecked(IDC_IMPORT_SIGN_IN);
    request.user = GetDlgItemText(IDC_IMPORT_USER);
    request.password = GetDlgItemText(IDC_IMPORT_PASSWORD);
    if (!m_searchDirectory) {
        SetStatus("Directory import is not available in this build.");
        return;
    }
    if (!qb::isDirectorySource(request.address)) {
        SetStatus("A directory address starts with ldap:// or ldaps://.");
        return;
    }
    // Without a user the search would bind as the signed-in user, which the
    // unchecked box just declined.
    if (!request.signedInUser && request.user.empty()) {
        SetStatus("Type a user name, or use your Windows sign-in.");
        return;
    }
    ShowPreview({});
    m_search = std::make_shared<Search>();
    UpdateSourceControls();
    SetStatus("Searching the directory...");
    ::SetTimer(m_hwnd, kProgressTimer, 250, nullptr);
    // The worker holds its own references: the dialog may close first.
    std::thread([search = m_search, run = m_searchDirectory, request, window = m_hwnd] {
        try {
            qb::ImportRead read = run(request, search->progress);
            std::lock_guard<std::mutex> hold(search->lock);
            search->read = std::move(read);
        } catch (const std::exception& error) {
            std::lock_guard<std::mutex> hold(search->lock);
            search->error = error.what();
        }
        ::PostMessageA(window, kSearchEnded, 0, 0);
    }).detach();
}

void CImportDlg::OnSearchEnded()
{
    if (!m_search)
        return;
    ::KillTimer(m_hwnd, kProgressTimer);
    std::shared_ptr<Search> search = std::move(m_search);
    UpdateSourceControls();
    std::lock_guard<std::mutex> hold(search->lock);
    if (search->progress.cancelled) {
        SetStatus("The search was cancelled.");
    } else if (search->read) {
        ShowPreview(std::move(*search->read));
    } else {
        SetStatus(search->error);
    }
}

bool CImportDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == kSearchEnded) {
        OnSearchEnded();
        result = 0;
        return true;
    }
    if (message == WM_TIMER && wParam == kProgressTimer && m_search) {
        SetStatus("Searching the directory... " + std::to_string(m_search->progress.found.load()) + " found");
        result = 0;
        return true;
    }
    return win::Dialog::OnMessage(message, wParam, lParam, result);
}

void CImportDlg::ShowPreview(qb::ImportRead read)
{
    m_items = qb::planImport(m_catalogue, read.hosts);
    m_list.DeleteAllItems();
    size_t chosen = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const qb::ImportItem& item = m_items[i];
        const int row = m_list.InsertItem(static_cast<int>(i), item.candidate.title);
        m_list.SetItemText(row, 1, item.candidate.hostName);
        m_list.SetItemText(row, 2, item.reason);
        setRowChecked(m_list, row, item.reason.empty());
        chosen += item.reason.empty();
    }
    std::string status = std::to_string(m_items.size()) + " found, " + std::to_string(chosen) + " to import.";
    for (const std::string& warning : read.warnings)
        status += " " + warning + ".";
    SetStatus(status);
}

bool CImportDlg::OnNotify(NMHDR& header, LRESULT& result)
{
    if (header.idFrom == IDC_IMPORT_LIST && header.code == LVN_ITEMCHANGED) {
        // A host whose name may not reach a command line stays unchecked.
        auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        const auto row = static_cast<size_t>(change.iItem);
        if ((change.uChanged & LVIF_STATE) && row < m_items.size() && !qb::mayImport(m_items[row]) &&
            rowChecked(m_list, change.iItem))
            setRowChecked(m_list, change.iItem, false);
        result = 0;
        return true;
    }
    return win::Dialog::OnNotify(header, result);
}

void CImportDlg::OnOK()
{
    const std::string icon = GetDlgItemText(IDC_IMPORT_ICON);
    const int32_t number = qb::readNumber(icon);
    if (icon.empty() || !qb::isIconIndex(number)) {
        SetStatus("The icon is a number from 0 to " + qb::formatNumber(qb::kIconCount - 1) + ".");
        return;
    }
    m_options.icon = number;
    m_options.windowsTemplate = IsDlgButtonChecked(IDC_IMPORT_TEMPLATE);
    m_chosen.assign(m_items.size(), false);
    for (size_t i = 0; i < m_items.size(); ++i)
        m_chosen[i] = rowChecked(m_list, static_cast<int>(i));
    EndDialog(IDOK);
}

void CImportDlg::OnCancel()
{
    // The first Cancel during a search stops the search, the next one the dialog.
    if (m_search && !m_search->progress.cancelled) {
        m_search->progress.cancelled = true;
        SetStatus("Cancelling the search...");
        return;
    }
    win::Dialog::OnCancel();
}

void CImportDlg::SetStatus(const std::string& text)
{
    SetDlgItemText(IDC_IMPORT_STATUS, text);
}
