#include "app/ListKeyboard.h"

#include "catalogue/TextRules.h"

#include <algorithm>

namespace qb {

CaseTable asciiCaseTable()
{
    CaseTable table{};
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = static_cast<unsigned char>(asciiLower(static_cast<char>(byte)));
    return table;
}

namespace {

unsigned char folded(char c, const CaseTable& fold)
{
    return fold[static_cast<unsigned char>(c)];
}

}  // namespace

bool startsWithFolded(std::string_view text, std::string_view prefix, const CaseTable& fold)
{
    if (prefix.size() > text.size())
        return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [&](char a, char b) { return folded(a, fold) == folded(b, fold); });
}

int movedFocus(ListKey key, int focus, int count, int top, int perPage)
{
    if (count <= 0)
        return -1;
    const int last = count - 1;
    top = std::clamp(top, 0, last);
    perPage = std::max(perPage, 1);
    if (focus < 0 || focus > last)
        return key == ListKey::End ? last : top;
    // A page moves by one row less than it shows, so that one row stays in
    // sight; never by nothing.
    const int step = std::max(perPage - 1, 1);
    const int bottom = std::min(top + perPage - 1, last);
    switch (key) {
    case ListKey::Up: return std::max(focus - 1, 0);
    case ListKey::Down: return std::min(focus + 1, last);
    case ListKey::Home: return 0;
    case ListKey::End: return last;
    case ListKey::PageUp: return focus > top ? top : std::max(focus - step, 0);
    case ListKey::PageDown: return focus < bottom ? bottom : std::min(focus + step, last);
    }
    return focus;
}

bool TypeAhead::searching(uint32_t now) const
{
    // Unsigned: the tick count wraps after 49 days.
    return !m_text.empty() && now - m_last < kPauseMs;
}

int TypeAhead::find(std::string_view prefix, int from, int count, const TitleAt& titleAt) const
{
    for (int i = 0; i < count; ++i) {
        const int row = (from + i) % count;
        if (startsWithFolded(titleAt(row), prefix, m_fold))
            return row;
    }
    return -1;
}

int TypeAhead::type(char typed, uint32_t now, int focus, int count, const TitleAt& titleAt)
{
    const bool extending = searching(now);
    if (!extending)
        m_text.clear();
    m_text += typed;
    m_last = now;
    if (count <= 0)
        return -1;
    focus = std::clamp(focus, -1, count - 1);
    const int after = (focus + 1) % count;
    const int row = find(m_text, extending ? std::max(focus, 0) : after, count, titleAt);
    if (row >= 0)
        return row;
    // "aaa" with no title starting so: each further "a" steps on to the
    // next title that starts with "a".
    const bool oneLetter = std::all_of(m_text.begin(), m_text.end(),
                                       [&](char c) { return folded(c, m_fold) == folded(m_text[0], m_fold); });
    return oneLetter ? find(m_text.substr(0, 1), after, count, titleAt) : -1;
}

MenuCharChoice menuCharChoice(const std::vector<std::string>& labels, char typed, const CaseTable& fold)
{
    const char key[1] = {typed};
    MenuCharChoice choice;
    int matches = 0;
    for (size_t position = 0; position < labels.size(); ++position) {
        std::string_view label = labels[position];
        if (label.size() > 1 && label[0] == '&' && label[1] != '&')
            label.remove_prefix(1);
        if (label.empty() || !startsWithFolded(label, std::string_view(key, 1), fold))
            continue;
        if (matches++ == 0)
            choice.position = static_cast<int>(position);
    }
    if (matches > 0)
        choice.kind = matches == 1 ? MenuCharChoice::Kind::Execute : MenuCharChoice::Kind::Select;
    return choice;
}

}  // namespace qb
