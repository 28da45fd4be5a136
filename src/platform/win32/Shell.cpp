#include "platform/win32/Shell.h"

#include <shellapi.h>

namespace qb {

int shellExecute(HWND owner, const char* verb, const std::string& file, const char* parameters, const char* directory,
                 int show)
{
    const HINSTANCE result = ::ShellExecuteA(owner, verb, file.c_str(), parameters, directory, show);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

void SystemShell::execute(const ShellCall& call)
{
    shellExecute(call.ownerIsMainWindow ? m_mainWindow : nullptr, call.verb ? call.verb->c_str() : nullptr, call.file,
                 call.parameters.c_str(), call.directory ? call.directory->c_str() : nullptr, call.show);
}

}  // namespace qb
