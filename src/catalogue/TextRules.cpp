#include "catalogue/TextRules.h"

#include <algorithm>
#include <limits>

namespace qb {

std::string asciiLowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), asciiLower);
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = asciiLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

size_t findLineEnd(std::string_view bytes, size_t from)
{
    // Two scans, the second no longer than the line.
    size_t lineFeed = findByte(bytes, '\n', from);
    size_t limit = lineFeed == std::string_view::npos ? bytes.size() : lineFeed;
    if (from >= limit)
        return lineFeed;
    const size_t carriageReturn = findByte(bytes.substr(0, limit), '\r', from);
    return carriageReturn != std::string_view::npos ? carriageReturn : lineFeed;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = findLineEnd(text, start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

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
