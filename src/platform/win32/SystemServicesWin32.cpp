#include "platform/SystemServices.h"

#include "platform/win32/LinkServices.h"
#include "platform/win32/Registry.h"

namespace qb {

namespace {

// The values under HKCU\Software\Quillbank.
class RegistrySettings final : public UserSettings
{
public:
    std::optional<std::string> readText(const std::string& name) override
    {
        return readTextValue(HKEY_CURRENT_USER, kKey, name);
    }
    bool writeText(const std::string& name, const std::string& text) override
    {
        return writeTextValue(HKEY_CURRENT_USER, kKey, name, text);
    }
    std::optional<uint32_t> readNumber(const std::string& name) override
    {
        return readNumberValue(HKEY_CURRENT_USER, kKey, name);
    }
    bool writeNumber(const std::string& name, uint32_t value) override
    {
        return writeNumberValue(HKEY_CURRENT_USER, kKey, name, value);
    }

private:
    static constexpr const char* kKey = "Software\\Quillbank";
};

}  // namespace

SystemServices makeSystemServices()
{
    return {makePlatformFileStore(), makeSystemBrowserSource(), makePlatformDirectoryClient(),
            std::make_unique<SystemLinkServices>(), std::make_unique<RegistrySettings>()};
}

}  // namespace qb
