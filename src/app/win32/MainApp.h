// The application object: runs the main window as a modal dialog and ends
// the program when it ends.
#pragma once

#include "win/App.h"

// Runs the main window, or a window derived from it (a timing build), with
// the component library initialised for its thread.
template <class MainDialog>
void RunMainWindow()
{
    MainDialog dialog;
    win::ComApartment com;
    dialog.DoModal();
}

class CMainApp : public win::Application
{
protected:
    bool InitInstance() override;
};
