#include "catalogue/TextRules.h"

#include <limits>

namespace qb {

int32_t readNumber(std::string_view text)
{
    size_t i = 0;
    // isspace in the C locale: blank, \t \n \v \f \r
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= kLimit)
            value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string formatNumber(int32_t value)
{
    return std::to_string(value);
}

std::string withBarNumber(std::string_view text, int32_t number)
{
    std::string out(text);
    out += "||";
    out += formatNumber(number);
    return out;
}

BarText splitBarText(std::string_view text)
{
    BarText result;
    size_t bars = text.find("||");
    if (bars == std::string_view::npos) {
        result.shown = text;
        return result;
    }
    result.shown = text.substr(0, bars);
    result.hasNumber = true;
    result.number = readNumber(text.substr(bars + 2));
    return result;
}

}  // namespace qb
