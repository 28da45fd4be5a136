// What the keyboard does in the host list and in the owner-drawn menus, as
// rules on row numbers and texts: which row a navigation key or typed text
// moves the focus to, and which menu item a letter picks.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

// Lower case of every byte of the code page the texts are in. The front
// supplies the system's table; asciiCaseTable() knows A to Z alone.
using CaseTable = std::array<unsigned char, 256>;
CaseTable asciiCaseTable();

// Case-insensitive: does `text` start with `prefix`?
bool startsWithFolded(std::string_view text, std::string_view prefix, const CaseTable& fold);

enum class ListKey {
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown
};

// The row a navigation key moves the focus to, in a list of `count` rows
// whose first visible row is `top` and which shows `perPage` whole rows.
// Page Down goes to the last visible row, and from there (or from below
// the page) a page further; Page Up likewise upwards. Without a focused row (`focus` -1) every key
// but End starts at the first visible row. -1 for an empty list.
int movedFocus(ListKey key, int focus, int count, int top, int perPage);

// Typing the start of a title moves to it. A character typed within
// kPauseMs of the previous one extends the text; after a pause a new
// search starts. A new search starts after the focused row, so that
// typing the same letter again steps through the titles that start with
// it; an extended one includes the focused row.
class TypeAhead
{
public:
    static constexpr uint32_t kPauseMs = 1000;
    using TitleAt = std::function<std::string_view(int row)>;

    explicit TypeAhead(const CaseTable& fold) : m_fold(fold) {}

    // True while a search is under way at `now` (a tick count in ms).
    bool searching(uint32_t now) const;
    // Adds `typed` at `now`; returns the row to focus, or -1 when no title
    // starts with the text typed so far.
    int type(char typed, uint32_t now, int focus, int count, const TitleAt& titleAt);

private:
    int find(std::string_view prefix, int from, int count, const TitleAt& titleAt) const;

    CaseTable m_fold;
    std::string m_text;
    uint32_t m_last = 0;
};

// What a letter typed in an owner-drawn menu does. `labels` are the
// items' texts by position as shown (empty for separators and disabled
// items, which never match).
struct MenuCharChoice {
    enum class Kind {
        None,
        Execute,
        Select
    } kind = Kind::None;
    int position = -1;
};
// The one item whose text starts with the letter runs; of several, the
// first is selected. A leading "&" (the mnemonic marker) is not shown and
// does not count.
MenuCharChoice menuCharChoice(const std::vector<std::string>& labels, char typed, const CaseTable& fold);

}  // namespace qb
