#include "controls/LinkLabel.h"

#include "win/CommonDialogs.h"
#include "win/Dpi.h"

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr int kHandCursorResource = 106;

}  // namespace

CLinkLabel::CLinkLabel(qb::LinkSystem& system)
    : m_normalColour(RGB(0, 0, 238)), m_visitedColour(RGB(85, 26, 139)), m_hotColour(::GetSysColor(COLOR_HIGHLIGHT)),
      m_system(system)
{}

void CLinkLabel::SetTarget(const std::string& target)
{
    m_target = target;
    if (IsWindow()) {
        FitToText();
        m_toolTip.UpdateTipText(m_hwnd, kToolId, m_target);
    }
}

void CLinkLabel::MarkVisited(bool visited)
{
    m_visited = visited;
    if (IsWindow())
        Invalidate(true);
}

void CLinkLabel::SetUnderlined(bool underline)
{
    m_underline = underline;
    if (IsWindow()) {
        ApplyFont();
        Invalidate(true);
    }
}

COLORREF CLinkLabel::CurrentTextColour() const
{
    if (m_hot)
        return m_hotColour;
    return m_visited ? m_visitedColour : m_normalColour;
}

void CLinkLabel::ApplyFont()
{
    HFONT current = GetFont();
    if (!current)
        current = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA attributes{};
    if (!::GetObjectA(current, sizeof attributes, &attributes))
        return;
    attributes.lfUnderline = m_underline ? TRUE : FALSE;
    win::Font font(::CreateFontIndirectA(&attributes));
    if (!font)
        return;
    // The control lets go of the old font before it is deleted.
    SetFont(font.get(), true);
    m_font = std::move(font);
}

void CLinkLabel::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    if (m_target.empty())
        m_target = GetText();
    if (GetText().empty())
        SetText(m_target);
    ApplyFont();
    FitToText();
    LoadHandCursor();
    if (m_toolTip.Create(m_hwnd))
        m_toolTip.AddTool(m_hwnd, kToolId, GetClientRect(), m_target);
}

bool CLinkLabel::PreTranslateMessage(MSG& message)
{
    if (m_toolTip.IsWindow())
        m_toolTip.RelayEvent(message);
    return win::Control::PreTranslateMessage(message);
}

bool CLinkLabel::OnReflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, CurrentTextColour());
        ::SetBkMode(dc, TRANSPARENT);
        // Hollow: the dialog's own background shows through.
        result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
        OnLinkClicked();
        result = 0;
        return true;
    }
    return false;
}

bool CLinkLabel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SETCURSOR:
        if (!m_handCursor)
            return false;
        ::SetCursor(m_handCursor);
        result = TRUE;
        return true;
    case WM_MOUSEMOVE:
        result = DefProc(message, wParam, lParam);
        OnMouseMove(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return true;
    case WM_CAPTURECHANGED:
        // Capture taken away (a menu, another window): the pointer is no
        // longer tracked, so the label must not stay hot.
        if (m_hot && reinterpret_cast<HWND>(lParam) != m_hwnd) {
            m_hot = false;
            RedrawNow();
        }
        return false;
    default: return false;
    }
}

void CLinkLabel::RedrawNow()
{
    ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CLinkLabel::OnMouseMove(POINT point)
{
    if (m_hot) {
        const RECT client = GetClientRect();
        if (!::PtInRect(&client, point)) {
            m_hot = false;
            ::ReleaseCapture();
            RedrawNow();
        }
    } else {
        m_hot = true;
        RedrawNow();
        // The capture is how the label learns that the pointer left it.
        ::SetCapture(m_hwnd);
    }
}

void CLinkLabel::OnLinkClicked()
{
    const int code = OpenTarget(m_target, SW_SHOW);
    m_visited = code > 32;
    if (m_visited) {
        MarkVisited(true);
    } else {
        ::MessageBeep(MB_ICONEXCLAMATION);
        ReportOpenFailure(code);
    }
}

int CLinkLabel::OpenTarget(const std::string& target, int showCommand)
{
    return qb::openLinkTarget(target, showCommand, m_system);
}

void CLinkLabel::ReportOpenFailure(int code)
{
    win::showMessage(qb::openFailureText(code), MB_OK | MB_ICONEXCLAMATION, GetParent());
}

void CLinkLabel::FitToText()
{
    if (!IsWindow() || !m_fitToText)
        return;
    RECT rect = GetRectInParent();
    const std::string text = GetText();
    SIZE extent{};
    {
        win::WindowDC dc(m_hwnd);
        if (!dc)
            return;
        win::SelectGuard font(dc, m_font ? static_cast<HGDIOBJ>(m_font.get()) : ::GetStockObject(DEFAULT_GUI_FONT));
        if (!::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent))
            return;
    }
    const LONG_PTR style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        const LONG dy = ((rect.bottom - rect.top) - extent.cy) / 2;
        rect.top += dy;
        rect.bottom -= dy;
    } else {
        rect.bottom = rect.top + extent.cy;
    }
    const LONG_PTR align = style & SS_TYPEMASK;
    if (align == SS_CENTER) {
        const LONG dx = ((rect.right - rect.left) - extent.cx) / 2;
        rect.left += dx;
        rect.right -= dx;
    } else if (align == SS_RIGHT) {
        rect.left = rect.right - extent.cx;
    } else {
        rect.right = rect.left + extent.cx;
    }
    ::SetWindowPos(m_hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_toolTip.IsWindow())
        m_toolTip.SetToolRect(m_hwnd, kToolId, GetClientRect());
}

void CLinkLabel::LoadHandCursor()
{
    if (m_handCursor)
        return;
    // A cursor keeps the size it is loaded at: load it at the size the
    // label's monitor wants, which is the shared size only at the system DPI.
    const UINT dpi = win::dpiForWindow(m_hwnd);
    const int cx = win::metricForDpi(SM_CXCURSOR, dpi), cy = win::metricForDpi(SM_CYCURSOR, dpi);
    const UINT length = ::GetWindowsDirectoryA(nullptr, 0);
    if (length > 0) {
        std::string path(length, '\0');
        const UINT written = ::GetWindowsDirectoryA(&path[0], length);
        path.resize(written < length ? written : 0);
        if (!path.empty()) {
            path += "\\winhlp32.exe";
            // Only its resources are wanted: map it as data, run none of it.
            win::Module helpViewer(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
            if (helpViewer)
                m_ownedCursor.reset(static_cast<HCURSOR>(
                    ::LoadImageA(helpViewer, MAKEINTRESOURCEA(kHandCursorResource), IMAGE_CURSOR, cx, cy, 0)));
        }
    }
    // Current systems ship the help viewer as a stub without the cursor: the
    // system's own hand then, loaded as a copy of our own at that size.
    if (!m_ownedCursor)
        m_ownedCursor.reset(static_cast<HCURSOR>(::LoadImageA(nullptr, IDC_HAND, IMAGE_CURSOR, cx, cy, 0)));
    m_handCursor = m_ownedCursor ? m_ownedCursor.get() : ::LoadCursorA(nullptr, IDC_HAND);
}
