// "Import hosts..." from the system menu: the dialog chooses, the core's
// import rules append; then the list is rebuilt and the file saved, as after
// any other change to the catalogue.
#include "app/win32/ImportDlg.h"
#include "app/win32/MainDlg.h"

void CMainDlg::ImportHosts()
{
    // The dialog judges duplicates against the catalogue until it returns.
    NestedLoop loop(*this);
    CImportDlg dialog(Catalogue(), m_session.files(), m_hwnd);
    if (dialog.DoModal() != IDOK)
        return;
    if (qb::appendImported(Catalogue(), dialog.m_items, dialog.m_chosen, dialog.m_options) == 0)
        return;
    fillHostList();
    save();
}
