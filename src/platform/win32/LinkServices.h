// What a link label opens its target with: the shell, the classes root of the
// registry (read only) and the program starter (WinExec).
#pragma once

#include "launch/WebLink.h"

namespace qb {

class SystemLinkServices final : public LinkSystem
{
public:
    int shellOpen(const std::string& target, int show) override;
    bool readClassesRootDefault(const std::string& subkey, std::string& value) override;
    int startProgram(const std::string& commandLine, int show) override;
};

}  // namespace qb
