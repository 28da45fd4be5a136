// "Import hosts": a file or a directory as the source, a preview of what it
// holds with a check box per host, and the options for the added hosts. The
// caller hands in the catalogue (to judge duplicates) and, on OK, appends
// the chosen items with qb::appendImported.
#pragma once

#include "catalogue/FileStore.h"
#include "import/ImportRules.h"
#include "launch/Secrets.h"
#include "win/Controls.h"
#include "win/Dialog.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// What the dialog asks of a directory, as typed (the ANSI code page).
struct DirectoryRequest {
    std::string address;       // "ldap://..." or "ldaps://..."
    bool signedInUser = true;  // the Windows sign-in; else user and password
    std::string user;
    std::string password;
    // Each copy (the dialog's, the worker's) wipes its password when it goes.
    ~DirectoryRequest() { qb::wipeSecret(password); }
};

// Shared by the dialog and a search on its worker thread: the count so far,
// for the progress line, and the request to stop.
struct DirectorySearchState {
    std::atomic<size_t> found{0};
    std::atomic<bool> cancelled{false};
};

// Runs on a worker thread; throws std::exception with a one-line message.
using DirectorySearch = std::function<qb::ImportRead(const DirectoryRequest&, DirectorySearchState&)>;

class CImportDlg : public win::Dialog
{
public:
    CImportDlg(const qb::HostCatalogue& catalogue, qb::FileStore& files, HWND parent = nullptr);
    ~CImportDlg() override;

    // Empty: the directory choice says that it is not available.
    DirectorySearch m_searchDirectory;

    // Read back after OK.
    std::vector<qb::ImportItem> m_items;
    std::vector<bool> m_chosen;
    qb::ImportOptions m_options;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnOK() override;
    void OnCancel() override;
    bool PreTranslateMessage(MSG& message) override;

private:
    struct Search;

    void UpdateSourceControls();
    void ReadSource();
    void StartDirectorySearch();
    void OnSearchEnded();
    void ShowPreview(qb::ImportRead read);
    void SetStatus(const std::string& text);

    const qb::HostCatalogue& m_catalogue;
    qb::FileStore& m_files;
    win::ListView m_list;
    std::shared_ptr<Search> m_search;  // while a directory search runs
};
