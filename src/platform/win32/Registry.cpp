#include "platform/win32/Registry.h"

#include "handles/Handles.h"

namespace qb {

namespace {

std::optional<std::string> readText(HKEY root, const std::string& subkey, const char* name)
{
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    const win::RegKey key(raw);
    std::string text;
    DWORD type = REG_NONE;
    for (;;) {
        DWORD size = static_cast<DWORD>(text.size());
        BYTE* data = text.empty() ? nullptr : reinterpret_cast<BYTE*>(&text[0]);
        const LSTATUS status = ::RegQueryValueExA(key, name, nullptr, &type, data, &size);
        // Asked for the size first; the value may also grow before it is read.
        if ((status == ERROR_SUCCESS && !data && size > 0) || status == ERROR_MORE_DATA) {
            text.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        text.resize(data ? size : 0);
        break;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;
    // The stored size counts the terminating NUL, and a value written
    // carelessly may hold more after it.
    const size_t end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

}  // namespace

std::optional<std::string> readDefaultValue(HKEY root, const std::string& subkey)
{
    return readText(root, subkey, nullptr);
}

std::optional<std::string> readTextValue(HKEY root, const std::string& subkey, const std::string& name)
{
    return readText(root, subkey, name.c_str());
}

namespace {

bool writeValue(HKEY root, const std::string& subkey, const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    const win::RegKey key(raw);
    return ::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

bool writeTextValue(HKEY root, const std::string& subkey, const std::string& name, const std::string& text)
{
    return writeValue(root, subkey, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::optional<uint32_t> readNumberValue(HKEY root, const std::string& subkey, const std::string& name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueA(root, subkey.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool writeNumberValue(HKEY root, const std::string& subkey, const std::string& name, uint32_t value)
{
    const DWORD stored = value;
    return writeValue(root, subkey, name, REG_DWORD, &stored, sizeof stored);
}

}  // namespace qb
