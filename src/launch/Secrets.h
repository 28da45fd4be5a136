// Texts that held a password. Every copy of a secret is wiped before its
// memory goes back, so that no freed block of the process still holds it.
#pragma once

#include <string>

namespace qb {

// Overwrites the string's whole buffer, in a way the compiler cannot drop,
// and leaves it empty.
void wipeSecret(std::string& text);
void wipeSecret(std::wstring& text);

}  // namespace qb
