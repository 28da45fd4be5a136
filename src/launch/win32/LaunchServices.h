// The Windows side of running a command: the confirmation box and the two
// prompts, as the launch logic asks for them.
#pragma once

#include <windows.h>

#include "launch/RunCommand.h"

// Confirmation and prompts. The confirmation is owned by the main window
// (the variable is read at each call: the prompts are made before the
// window); the prompts have no parent of their own.
class DialogLaunchPrompts final : public qb::LaunchPrompts
{
public:
    explicit DialogLaunchPrompts(const HWND& mainWindow) : m_mainWindow(mainWindow) {}

    bool confirmRun(const std::string& text) override;
    std::optional<std::string> askUserInput() override;
    bool askPassword(const qb::PasswordPrompt& prompt, qb::PasswordAnswer& answer) override;

private:
    const HWND& m_mainWindow;
};
