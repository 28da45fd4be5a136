#include "platform/win32/LinkServices.h"

#include "platform/win32/Registry.h"
#include "platform/win32/Shell.h"

#include <windows.h>

namespace qb {

int SystemLinkServices::shellOpen(const std::string& target, int show)
{
    return shellExecute(nullptr, "open", target, nullptr, nullptr, show);
}

bool SystemLinkServices::readClassesRootDefault(const std::string& subkey, std::string& value)
{
    std::optional<std::string> text = readDefaultValue(HKEY_CLASSES_ROOT, subkey);
    if (!text)
        return false;
    value = std::move(*text);
    return true;
}

int SystemLinkServices::startProgram(const std::string& commandLine, int show)
{
    return static_cast<int>(::WinExec(commandLine.c_str(), static_cast<UINT>(show)));
}

}  // namespace qb
