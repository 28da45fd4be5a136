// Small text rules shared by the file reader, the menus and the lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

// Reads a number as atoi does (leading blanks, optional sign, digits, stop at
// the first other character, no digits give 0), but saturates at the ends of
// the 32-bit range instead of overflowing.
int32_t readNumber(std::string_view text);

// "%i" of a 32-bit value.
std::string formatNumber(int32_t value);

// "text||number", the convention that carries a colour or an icon index
// after a display text.
std::string withBarNumber(std::string_view text, int32_t number);

// Splits "text||number": the shown part (before the first "||") and, when
// the bars are present, the number after them read as readNumber does.
struct BarText {
    std::string_view shown;
    bool hasNumber = false;
    int32_t number = 0;
};
BarText splitBarText(std::string_view text);

}  // namespace qb
