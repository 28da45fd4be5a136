// Reading the registry, as the program needs it: a key's default value.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qb {

// The default (unnamed) value of root\subkey as stored: a REG_SZ, or a
// REG_EXPAND_SZ left unexpanded, of any length, cut at its first NUL.
// nullopt when the key cannot be opened or its default value is missing or
// not text.
std::optional<std::string> readDefaultValue(HKEY root, const std::string& subkey);

}  // namespace qb
