// The shell: ShellExecuteA for the launch menu, the console companion's
// --launch and the link label, started and forgotten.
#pragma once

#include <windows.h>

#include <string>

#include "launch/RunCommand.h"

namespace qb {

// ShellExecuteA as given: null pointers stay null. owner owns any message the
// shell shows (null: none). The shell's code: > 32 is success.
int shellExecute(HWND owner, const char* verb, const std::string& file, const char* parameters, const char* directory,
                 int show);

// A launch's call through the shell, its result not looked at. A call owned
// by the main window gets mainWindow as its owner: the variable is read at
// each call, since the shell is made before the window (null where there is
// none).
class SystemShell final : public Shell
{
public:
    explicit SystemShell(const HWND& mainWindow) : m_mainWindow(mainWindow) {}

    void execute(const ShellCall& call) override;

private:
    const HWND& m_mainWindow;
};

}  // namespace qb
