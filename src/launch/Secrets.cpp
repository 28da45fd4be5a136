#include "launch/Secrets.h"

#include <cstddef>

namespace qb {
namespace {

template <class Char>
void wipe(std::basic_string<Char>& text)
{
    // Bytes past the end may hold an older, longer content: cover the whole
    // buffer. The volatile writes are not removed as dead stores.
    text.resize(text.capacity());
    volatile Char* chars = &text[0];
    for (std::size_t i = 0; i < text.size(); ++i)
        chars[i] = Char();
    text.clear();
}

}  // namespace

void wipeSecret(std::string& text)
{
    wipe(text);
}

void wipeSecret(std::wstring& text)
{
    wipe(text);
}

}  // namespace qb
