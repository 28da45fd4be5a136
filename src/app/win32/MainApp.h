// The application object: runs the main window as a modal dialog and ends
// the program when it ends.
#pragma once

#include "win/App.h"

class CMainApp : public win::Application
{
protected:
    bool InitInstance() override;
};
