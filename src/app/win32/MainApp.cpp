#include "app/win32/MainApp.h"

#include "app/win32/MainDlg.h"

#include <objbase.h>

bool CMainApp::InitInstance()
{
    CMainDlg dialog;
    CoInitialize(nullptr);
    dialog.DoModal();
    CoUninitialize();
    // Dialog-based: no message loop after the main window.
    return false;
}
