#include <windows.h>

#include <algorithm>

#include "launch/Browser.h"

namespace qb {
namespace {

class RegistryKey
{
public:
    RegistryKey() = default;
    ~RegistryKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* put() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The default value of HKCR\http\shell\open\command, as stored: its type is
// not looked at and nothing in it is expanded.
class RegistryBrowserSource final : public BrowserSource
{
public:
    std::string registeredCommand() override
    {
        RegistryKey key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, key.put()) != ERROR_SUCCESS)
            return {};
        DWORD size = 0;
        if (RegQueryValueExA(key.get(), nullptr, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
            return {};
        std::string text(size, '\0');
        if (RegQueryValueExA(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(&text[0]), &size) !=
            ERROR_SUCCESS)
            return {};
        // The size counts the terminating zero of a string value.
        text.resize(std::min<std::size_t>(size, text.size()));
        const auto zero = text.find('\0');
        if (zero != std::string::npos)
            text.resize(zero);
        return text;
    }
};

}  // namespace

std::unique_ptr<BrowserSource> makeSystemBrowserSource()
{
    return std::make_unique<RegistryBrowserSource>();
}

}  // namespace qb
