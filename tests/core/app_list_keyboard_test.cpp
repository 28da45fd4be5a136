#include "app/ListKeyboard.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(ListKeyboard, NavigationKeysMoveTheFocusWithinTheList)
{
    // 200 rows, rows 50 to 59 visible.
    const std::tuple<ListKey, int, int> cases[] = {
        {ListKey::Down, 199, 199},     {ListKey::Up, 0, 0},       {ListKey::PageDown, 52, 59},
        {ListKey::PageDown, 59, 68},   {ListKey::PageUp, 57, 50}, {ListKey::PageUp, 50, 41},
        {ListKey::PageDown, 195, 199}, {ListKey::PageUp, 5, 0},   {ListKey::Down, -1, 50},
        {ListKey::Down, 55, 56},       {ListKey::Up, 55, 54},
    };
    for (auto [key, focus, expected] : cases)
        EXPECT_EQ(movedFocus(key, focus, 200, 50, 10), expected)
            << "key " << static_cast<int>(key) << " from " << focus;
    EXPECT_EQ(movedFocus(ListKey::PageDown, 3, 200, 3, 1), 4) << "a one-row page still moves";
    EXPECT_EQ(movedFocus(ListKey::PageDown, 0, 3, 0, 10), 2) << "the page is longer than the list";
    EXPECT_EQ(movedFocus(ListKey::Down, -1, 0, 0, 10), -1);
}

TEST(ListKeyboard, TypeAheadFindsTitlesByTheirStart)
{
    const std::vector<std::string> titles = {"alpha", "Beta one", "beta Two", "BETTER", "gamma", "\xC4rger"};
    const auto titleAt = [&](int row) -> std::string_view { return titles[row]; };
    const int count = static_cast<int>(titles.size());
    // Each step types at a time, from the row the previous step focused.
    const std::tuple<char, uint32_t, int> steps[] = {
        {'b', 0, 1},     // case-insensitive
        {'E', 100, 1},   // "be" still fits the focused row
        {'t', 200, 1},   // "bet"
        {'a', 300, 1},   // "beta"
        {' ', 250, 1},   // stamped before the "a": no pause, part of the text
        {'t', 500, 2},   // "beta t"
        {'x', 600, -1},  // nothing starts with "beta tx": the focus stays
        {'g', 1700, 4},  // a pause starts a new search
        {'b', 2800, 1},  // from the row after the focus, wrapping
        {'b', 2900, 2},  // "bb" fits nothing: steps to the next "b"
    };
    TypeAhead search(asciiCaseTable());
    int focus = 0;
    for (auto [typed, at, expected] : steps) {
        const int row = search.type(typed, at, focus, count, titleAt);
        EXPECT_EQ(row, expected) << "'" << typed << "' at " << at;
        if (row >= 0)
            focus = row;
    }
    EXPECT_TRUE(search.searching(2900 + TypeAhead::kPauseMs - 1));
    EXPECT_FALSE(search.searching(2900 + TypeAhead::kPauseMs));

    // The system's table folds letters beyond ASCII; the tick count may wrap.
    CaseTable latin = asciiCaseTable();
    latin[0xC4] = 0xE4;
    TypeAhead wide(latin);
    EXPECT_EQ(wide.type('\xE4', 0xFFFFFF00u, 0, count, titleAt), 5);
    EXPECT_TRUE(wide.searching(0x10u));
}
