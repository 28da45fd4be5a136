// A report-view list that draws its own rows: each row on a colour of its own
// (carried in the first column's text as "text||colour"), its small icon
// blended with the highlight when selected, every column's text with an
// ellipsis and the column's alignment.
#pragma once

#include "win/Controls.h"

#include <windows.h>
#include <commctrl.h>

// Sent to the parent as WM_COMMAND (code 0, no control) after a navigation
// key has moved through the rows.
constexpr int CmdListNavigate = 1024;

class CColourListCtrl : public win::ListView
{
public:
    CColourListCtrl();
    ~CColourListCtrl() override;

    // 1 and 2 make the rows owner-drawn (the style is never taken away
    // again); 2 also repaints up to the right edge of the client area. A mode
    // above 2 changes nothing. Returns the previous mode.
    int SetHighlightMode(int mode);
    int GetHighlightMode() const { return m_highlightMode; }

    // Draws one row; the parent reflects its WM_DRAWITEM here.
    virtual void DrawItem(const DRAWITEMSTRUCT& request);

    // Invalidates the focused row (and the selected rows, unless the list
    // always shows its selection) and redraws them at once.
    void RepaintFocusAndSelection();

    // Background of rows whose first-column text carries no colour. The owner
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

    int m_highlightMode = 0;
};
