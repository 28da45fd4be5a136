// The registry, as the program needs it: text values read, and the user's
// own settings written.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace qb {

// The default (unnamed) value of root\subkey as stored: a REG_SZ, or a
// REG_EXPAND_SZ left unexpanded, of any length, cut at its first NUL.
// nullopt when the key cannot be opened or its default value is missing or
// not text.
std::optional<std::string> readDefaultValue(HKEY root, const std::string& subkey);
// As readDefaultValue, for the value called name.
std::optional<std::string> readTextValue(HKEY root, const std::string& subkey, const std::string& name);

// Stores text as the REG_SZ value called name, making the key when missing.
bool writeTextValue(HKEY root, const std::string& subkey, const std::string& name, const std::string& text);

// The REG_DWORD value called name; nullopt when missing or of another type.
std::optional<uint32_t> readNumberValue(HKEY root, const std::string& subkey, const std::string& name);
bool writeNumberValue(HKEY root, const std::string& subkey, const std::string& name, uint32_t value);

}  // namespace qb
