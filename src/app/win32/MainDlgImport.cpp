// "Import hosts..." from the system menu: the dialog chooses, the core's
// import rules append; then the list is rebuilt and the file saved, as after
// any other change to the catalogue.
#include "app/win32/ImportDlg.h"
#include "app/win32/MainDlg.h"

#include "import/DirectorySource.h"
#include "import/ImportText.h"
#include "launch/Secrets.h"

#include <stdexcept>

namespace {

// The dialog's directory search, on its worker thread: the dialog holds
// ANSI text, LDAP carries UTF-8.
qb::ImportRead searchDirectory(qb::DirectoryClient& directory, const DirectoryRequest& request,
                               DirectorySearchState& state)
{
    struct Query : qb::DirectoryQuery {
        ~Query() { qb::wipeSecret(password); }
    } query;
    query.url = qb::ansiToUtf8(request.address);
    // No user: the client binds with the signed-in user's own credentials.
    if (!request.signedInUser) {
        query.user = qb::ansiToUtf8(request.user);
        query.password = qb::ansiToUtf8(request.password);
    }
    qb::DirectoryResult result = directory.search(query, [&state](size_t found) {
        state.found = found;
        return !state.cancelled;
    });
    if (!result.error.empty())
        throw std::runtime_error(result.error);
    return std::move(result.read);
}

}  // namespace

void CMainDlg::ImportHosts()
{
    // The dialog judges duplicates against the catalogue until it returns.
    qb::MainSession::NestedLoop loop(m_session);
    qb::Services& services = m_session.services();
    CImportDlg dialog(m_session.hosts(), services.files, m_hwnd);
    dialog.m_searchDirectory = [&directory = services.directory](const DirectoryRequest& request,
                                                                 DirectorySearchState& state) {
        return searchDirectory(directory, request, state);
    };
    if (dialog.DoModal() != IDOK)
        return;
    m_session.addHosts([&dialog](qb::HostCatalogue& hosts) {
        return qb::appendImported(hosts, dialog.m_items, dialog.m_chosen, dialog.m_options);
    });
}
