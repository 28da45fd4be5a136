#include "app/win32/MainApp.h"
#include "app/win32/WindowsServices.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Built once, before any window, and handed down.
    WindowsServices services;
    CMainApp app(services);
    return app.Run();
}
