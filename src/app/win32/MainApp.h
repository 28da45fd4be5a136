// The application object: runs the main window as a modal dialog and ends
// the program when it ends.
#pragma once

#include "app/win32/WindowsServices.h"
#include "win/App.h"

#include <utility>

// Runs the main window, or a window derived from it (a timing build), with
// the component library initialised for its thread. The dialog is made from
// the services handed in.
template <class MainDialog, class... Services>
void runMainWindow(Services&&... services)
{
    MainDialog dialog(std::forward<Services>(services)...);
    win::ComApartment com;
    dialog.DoModal();
}

class CMainApp : public win::Application
{
public:
    explicit CMainApp(WindowsServices& services) : m_services(services) {}

protected:
    bool InitInstance() override;

private:
    WindowsServices& m_services;
};
