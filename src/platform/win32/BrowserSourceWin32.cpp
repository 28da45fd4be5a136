#include "launch/Browser.h"
#include "platform/win32/Registry.h"

namespace qb {
namespace {

// The default value of HKCR\http\shell\open\command, as stored: nothing in
// it is expanded.
class RegistryBrowserSource final : public BrowserSource
{
public:
    std::string registeredCommand() override
    {
        return readDefaultValue(HKEY_CLASSES_ROOT, "http\\shell\\open\\command").value_or(std::string());
    }
};

}  // namespace

std::unique_ptr<BrowserSource> makeSystemBrowserSource()
{
    return std::make_unique<RegistryBrowserSource>();
}

}  // namespace qb
