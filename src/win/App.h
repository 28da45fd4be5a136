// The application object and the few process facts every window needs.
#pragma once

#include <windows.h>

#include <string>

namespace win {

// The module of the running executable (its resources: dialogs, icons ...).
HINSTANCE moduleInstance();

// The executable's file name without folder and without ".exe" (any case):
// the caption of the program's message boxes.
std::string executableName();

// The component library initialised for this thread (single-threaded
// apartment) for as long as the object lives; uninitialised only when the
// initialisation succeeded.
class ComApartment
{
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_initialised;
};

// Derive and override InitInstance; WinMain constructs the object and returns
// Run(). InitInstance returning false (a dialog-based program that has run
// its main dialog) ends the program; true enters a plain message loop until
// WM_QUIT.
class Application
{
public:
    Application() = default;
    virtual ~Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Registers the common controls, then InitInstance, then maybe the loop;
    // returns the process exit code. Exceptions stop here (exit code 1).
    int Run();

protected:
    virtual bool InitInstance() = 0;
};

}  // namespace win
