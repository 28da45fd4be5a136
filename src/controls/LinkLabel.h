// A dialog's static text turned into a hyperlink: underlined link colours, a
// hot colour while the pointer is over it, a hand cursor, a tooltip with the
// target, and a click that opens the target (with the web-page handler as a
// fallback) or says why it could not.
#pragma once

#include "launch/WebLink.h"
#include "win/Controls.h"
#include "win/Handles.h"

#include <windows.h>

#include <string>

class CLinkLabel : public win::Control
{
public:
    // Opening goes through system, which must outlive the label.
    explicit CLinkLabel(qb::LinkSystem& system);

    // Takes effect at once when the window exists (size, tooltip).
    void SetTarget(const std::string& target);
    void SetUnderlined(bool underline);

    bool PreTranslateMessage(MSG& message) override;
    bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    COLORREF m_normalColour;
    COLORREF m_visitedColour;
    COLORREF m_hotColour;

protected:
    void PreSubclassWindow() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The colour the text is drawn in now.
    COLORREF CurrentTextColour() const;
    // A click's work: open, remember the outcome, report a failure.
    void OnLinkClicked();
    void MarkVisited(bool visited);
    void FitToText();
    void LoadHandCursor();
    void ApplyFont();
    int OpenTarget(const std::string& target, int showCommand);
    void ReportOpenFailure(int code);
    void RedrawNow();
    void OnMouseMove(POINT point);

    bool m_hot = false;
    bool m_visited = false;
    bool m_underline = true;
    bool m_fitToText = true;
    std::string m_target;
    win::Font m_font;
    win::Cursor m_ownedCursor;       // the hand at the label's DPI
    HCURSOR m_handCursor = nullptr;  // m_ownedCursor, or the system's shared hand
    win::ToolTip m_toolTip;
    qb::LinkSystem& m_system;
};
