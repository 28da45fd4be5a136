// SHA-256 of a text, as lower-case hex. Our own short implementation of the
// published algorithm: the core is built without Windows (so not on its
// cryptography), and no library we ship in both builds has one.
#pragma once

#include <string>
#include <string_view>

namespace qb {

std::string sha256Hex(std::string_view bytes);

}  // namespace qb
