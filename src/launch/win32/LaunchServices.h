// The Windows side of running a command: the confirmation box, the two
// prompts and the shell, as the launch logic asks for them.
#pragma once

#include <windows.h>

#include "launch/RunCommand.h"

// Confirmation and prompts. The confirmation is owned by the main window;
// the prompts have no parent of their own.
class DialogLaunchPrompts final : public qb::LaunchPrompts
{
public:
    explicit DialogLaunchPrompts(HWND mainWindow) : m_mainWindow(mainWindow) {}

    bool confirmRun(const std::string& text) override;
    std::optional<std::string> askUserInput() override;
    std::optional<std::string> askPassword() override;

private:
    HWND m_mainWindow;
};

// ShellExecuteA, started and forgotten: the result is not looked at.
class ShellExecuteLauncher final : public qb::Shell
{
public:
    explicit ShellExecuteLauncher(HWND mainWindow) : m_mainWindow(mainWindow) {}

    void execute(const qb::ShellCall& call) override;

private:
    HWND m_mainWindow;
};
