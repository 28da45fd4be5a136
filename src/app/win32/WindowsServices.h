// The program's services on Windows, built once in WinMain and handed down.
// What shows something to the user (the shell's error boxes, the
// confirmation, message boxes) is owned by the main window while it is open.
#pragma once

#include "app/Services.h"
#include "launch/win32/LaunchServices.h"
#include "launch/win32/RememberedPasswordsWin32.h"
#include "platform/SystemServices.h"
#include "platform/win32/Shell.h"

#include <windows.h>

#include <memory>

class WindowsServices
{
public:
    WindowsServices();
    ~WindowsServices();
    WindowsServices(const WindowsServices&) = delete;
    WindowsServices& operator=(const WindowsServices&) = delete;

    qb::Services& services() { return m_services; }
    // The window that owns what the services show; null when none is open.
    void setOwner(HWND owner) { m_owner = owner; }

private:
    HWND m_owner = nullptr;
    qb::SystemServices m_system;
    qb::SystemShell m_shell{m_owner};
    DialogLaunchPrompts m_prompts{m_owner};
    std::unique_ptr<qb::MessageBoxes> m_messages;
    CredentialStore m_secrets;
    ShellProgramFinder m_programs;
    qb::Services m_services;
};
