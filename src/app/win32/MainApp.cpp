#include "app/win32/MainApp.h"

#include "app/win32/MainDlg.h"

bool CMainApp::InitInstance()
{
    runMainWindow<CMainDlg>(m_services);
    // Dialog-based: no message loop after the main window.
    return false;
}
