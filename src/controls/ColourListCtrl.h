// A report-view list that draws its own rows: each row on a colour of its own
// (given by the row source, or carried in the first column's text as
// "text||colour"), its small icon blended with the highlight when selected,
// every column's text with an ellipsis and the column's alignment.
#pragma once

#include "win/Controls.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <string_view>

// Sent to the parent as WM_COMMAND (code 0, no control) after a navigation
// key has moved through the rows.
constexpr int CmdListNavigate = 1024;

// How the list draws its rows. Owner-drawn rows never go back to the list's
// own drawing (the style is not taken away again).
enum class HighlightMode {
    ListDrawn = 0,
    OwnerDrawn = 1,
    // Owner-drawn, and repainting up to the right edge of the client area.
    OwnerDrawnToEdge = 2,
};

// What one row of a row source shows.
struct ListRow {
    std::string_view text;           // valid until the source changes
    std::optional<COLORREF> colour;  // none: m_rowColour
    int image = 0;
};

// Rows that the owner keeps, for a list created with LVS_OWNERDATA: the list
// stores none of them and asks for a row only while it shows that row, so
// its work grows with the rows on screen, not all rows.
class ListRowSource
{
public:
    // An empty row for one that does not exist.
    virtual ListRow Row(int row) const = 0;
    // Column 0's text as the list reports it to other programs (the others
    // are empty).
    virtual std::string RowText(int row) const = 0;

protected:
    ~ListRowSource() = default;
};

class CColourListCtrl : public win::ListView
{
public:
    CColourListCtrl();
    ~CColourListCtrl() override;

    // Returns the previous mode; a value beyond the named ones changes nothing.
    HighlightMode SetHighlightMode(HighlightMode mode);

    // The rows of an owner-data list; the source outlives the rows it
    // answers for (set the item count to 0 before it goes).
    void SetRowSource(const ListRowSource* source) { m_rowSource = source; }

    // Draws one row, with the focus rectangle on the focused row while the
    // focus cues show; the parent reflects its WM_DRAWITEM here.
    virtual void DrawItem(const DRAWITEMSTRUCT& request);

    // Invalidates the focused row (and the selected rows, unless the list
    // always shows its selection) and redraws them at once.
    void RepaintFocusAndSelection();

    // Background of rows without a colour of their own. The owner
    // sets it right after attaching the control; until then it is the
    // window colour, so that a row drawn early is never on garbage.
    COLORREF m_rowColour;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool IsReportView() const;
    void WidenRepaintArea();
    void SelectAll();
    template <class Item>
    void AnswerDisplayInfo(Item& item) const;

    HighlightMode m_highlightMode = HighlightMode::ListDrawn;
    const ListRowSource* m_rowSource = nullptr;
};
