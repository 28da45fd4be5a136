// The main window's life and messages: start, close, painting, the scale of
// its monitor, and where it stands for the file.
#include "app/win32/MainDlg.h"

#include "screen/DisplayScale.h"
#include "screen/WindowPlacement.h"
#include "app/win32/VirtualStoreOffer.h"
#include "controls/IconStrip.h"
#include "res/resource.h"
#include "win/Dpi.h"

#include <vector>

namespace {

// Posted by the folder watch when the catalogue's folder changed, and for a
// refresh that waited for a nested loop.
constexpr UINT kRefreshMessage = WM_APP + 1;
// A timer message comes only once nothing is left to paint: the folder watch
// starts after the first paint, which it would only delay.
constexpr UINT_PTR kStartWatchTimer = 1;

int height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

int width(const RECT& rect)
{
    return rect.right - rect.left;
}

qb::ScreenRect screenRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM monitors)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        reinterpret_cast<std::vector<qb::MonitorArea>*>(monitors)->push_back(
            {screenRect(info.rcMonitor), screenRect(info.rcWork)});
    return TRUE;
}

std::vector<qb::MonitorArea> currentMonitors()
{
    std::vector<qb::MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// The same font at another DPI.
win::Font fontForDpi(HFONT font, UINT from, UINT to)
{
    LOGFONTW attributes{};
    if (!font || !GetObjectW(font, sizeof attributes, &attributes))
        return win::Font();
    attributes.lfHeight = win::fontHeightForDpi(attributes.lfHeight, from, to);
    return win::Font(CreateFontIndirectW(&attributes));
}

// Lower case of each byte in the ANSI code page, as the system knows it.
qb::CaseTable ansiCaseTable()
{
    qb::CaseTable table{};
    for (int byte = 0; byte < 256; ++byte) {
        char c = static_cast<char>(byte);
        CharLowerBuffA(&c, 1);
        table[byte] = static_cast<unsigned char>(c);
    }
    return table;
}

}  // namespace

CMainDlg::CMainDlg(WindowsServices& services)
    : win::Dialog(IDD_MAIN), m_platform(services), m_session(services.services(), *this), m_caseTable(ansiCaseTable()),
      m_typeAhead(m_caseTable), m_hIcon(win::loadIconResource(IDR_MAINFRAME, 0, 0))
{}

CMainDlg::~CMainDlg()
{
    m_platform.setOwner(nullptr);
}

BOOL CMainDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();
    m_platform.setOwner(m_hwnd);

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    m_hostList.SubclassDlgItem(IDC_HOST_LIST, m_hwnd);
    m_hostList.SetRowSource(this);

    m_dpi = win::dpiForWindow(m_hwnd);
    m_templateWidth = width(GetWindowRect());
    m_templateListWidth = width(m_hostList.GetWindowRect());
    m_listFrameWidth = m_templateListWidth - width(m_hostList.GetClientRect());
    // One column as wide as the list without its scroll bar: the whole row
    // is one cell, and a long title ends in an ellipsis at the window's edge.
    m_hostList.InsertColumn(0, "one", m_templateListWidth - m_listFrameWidth, LVCFMT_LEFT);
    ApplyFaceColour();
    m_hostList.SetHighlightMode(HighlightMode::OwnerDrawn);

    m_images = iconImagesForDpi(m_dpi);
    m_hostList.SetImageList(m_images, LVSIL_SMALL);

    SetUpFindField();

    const HMENU systemMenu = ::GetSystemMenu(m_hwnd, FALSE);
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_IMPORT_HOSTS, "Import hosts...");

    // Taken before the read, so that any save after it changes the stamp.
    m_stampBeforeStart = fileStamp(qb::kCatalogueFileName);
    m_session.start(findVirtualStoreCopy());
    // The focus rectangle shows once the keyboard is used, unless it was the
    // keyboard that started the program (or the user always wants it).
    Send(WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL));
    ::SetTimer(m_hwnd, kStartWatchTimer, 0, nullptr);
    return TRUE;
}

void CMainDlg::ApplyFaceColour()
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    m_backgroundBrush.reset(CreateSolidBrush(face));
    m_hostList.SetTextBkColor(face);
    m_hostList.SetBkColor(face);
    m_hostList.m_rowColour = face;
}

void CMainDlg::postClose()
{
    PostMessageA(m_hwnd, WM_CLOSE, 0, 0);
}

void CMainDlg::postRefresh()
{
    // Also from the folder watch's thread: nothing here but the flag and
    // the post.
    if (!m_refreshQueued.exchange(true))
        PostMessageA(m_hwnd, kRefreshMessage, 0, 0);
}

void CMainDlg::moveTopLeftTo(int32_t x, int32_t y)
{
    const RECT window = GetWindowRect();
    const qb::ScreenPoint placed = qb::placeOnMonitors({x, y}, width(window), height(window), currentMonitors());
    SetWindowPos(m_hwnd, HWND_TOP, placed.x, placed.y, 0, 0, SWP_NOSIZE);
}

void CMainDlg::dropTaskbarButton()
{
    ModifyExStyle(WS_EX_APPWINDOW, 0);
}

void CMainDlg::currentTopLeft(int32_t& x, int32_t& y)
{
    RECT window = GetWindowRect();
    // Minimised (or maximised) the rectangle is not where the window opens
    // again: a minimised one stands at -32000, -32000, off every screen.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    // The tool-window style of the template puts the restored rectangle in
    // screen coordinates, as the window's own rectangle is.
    if ((IsIconic(m_hwnd) || IsZoomed(m_hwnd)) && GetWindowPlacement(m_hwnd, &placement)) {
        window = placement.rcNormalPosition;
    }
    x = window.left;
    y = window.top;
}

bool CMainDlg::OnPaint()
{
    if (IsIconic(m_hwnd)) {
        PaintMinimisedIcon();
        return true;
    }
    return false;
}

void CMainDlg::PaintMinimisedIcon()
{
    win::PaintDC paint(m_hwnd);
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
    const int iconWidth = win::metricForDpi(SM_CXICON, m_dpi);
    const int iconHeight = win::metricForDpi(SM_CYICON, m_dpi);
    const RECT client = GetClientRect();
    const int x = (width(client) - iconWidth + 1) / 2;
    const int y = (height(client) - iconHeight + 1) / 2;
    DrawIcon(paint, x, y, m_hIcon);
}

void CMainDlg::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    const UINT previous = m_dpi;
    if (dpi == 0 || dpi == previous)
        return;
    m_dpi = dpi;
    // Handled here in full, so the dialog manager scales nothing of its own:
    // the template's widths, the list's font and icons, then the rows' fit.
    const bool scrolling = width(GetWindowRect()) > m_templateWidth;
    m_templateWidth = width(suggested) - (scrolling ? win::metricForDpi(SM_CXVSCROLL, dpi) : 0);
    m_templateListWidth = MulDiv(m_templateListWidth, int(dpi), int(previous));
    m_listFrameWidth = MulDiv(m_listFrameWidth, int(dpi), int(previous));
    m_findHeight = MulDiv(m_findHeight, int(dpi), int(previous));
    // The new font first: the list must never hold a deleted one.
    win::Font font = fontForDpi(m_hostList.GetFont(), previous, dpi);
    if (font) {
        m_hostList.SetFont(font.get(), false);
        m_findField.SetFont(font.get(), false);
        m_listFont = std::move(font);
    }
    m_images = iconImagesForDpi(dpi);
    m_hostList.SetImageList(m_images, LVSIL_SMALL);
    SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, width(suggested), height(suggested),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // A new size makes the list measure its rows again, for the new font
    // and icons, before the window is fitted to them.
    const int scrollBar = scrolling ? win::metricForDpi(SM_CXVSCROLL, dpi) : 0;
    SetWindowPos(m_hostList, nullptr, 0, 0, m_templateListWidth + scrollBar, height(m_hostList.GetWindowRect()),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitWindowToList();
    m_hostList.Invalidate(true);
}

void CMainDlg::OnOK()
{}

void CMainDlg::OnCancel()
{}

bool CMainDlg::OnClose()
{
    if (!m_session.close())
        return true;
    // No row may point at a freed host, even for the moment until the
    // window is gone.
    m_hostList.Send(WM_SETREDRAW, FALSE);
    m_hostList.DeleteAllItems();
    m_session.release();
    EndDialog(IDCANCEL);
    return true;
}

HBRUSH CMainDlg::OnCtlColor(HDC dc, HWND control, UINT message)
{
    // A field to type in keeps the colours of one.
    if (control == m_findField)
        return win::Dialog::OnCtlColor(dc, control, message);
    win::Dialog::OnCtlColor(dc, control, message);
    ::SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return m_backgroundBrush;
}

bool CMainDlg::OnDrawItem(int id, DRAWITEMSTRUCT& item)
{
    if (item.CtlType == ODT_MENU) {
        m_iconMenu.DrawItem(&item);
        return true;
    }
    return win::Dialog::OnDrawItem(id, item);
}

bool CMainDlg::OnMeasureItem(int id, MEASUREITEMSTRUCT& item)
{
    if (item.CtlType == ODT_MENU) {
        m_iconMenu.MeasureItem(&item);
        return true;
    }
    if (item.CtlType == ODT_LISTVIEW && id == IDC_HOST_LIST) {
        item.itemHeight = ListRowHeight();
        return true;
    }
    return win::Dialog::OnMeasureItem(id, item);
}

bool CMainDlg::OnInitMenuPopup(HMENU menu, UINT index, bool systemMenu)
{
    win::Dialog::OnInitMenuPopup(menu, index, systemMenu);
    if (!systemMenu) {
        m_iconMenu.PreparePopup(menu, m_dpi);
    }
    return true;
}

bool CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_QUERYDRAGICON: result = reinterpret_cast<LRESULT>(m_hIcon.get()); return true;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_IMPORT_HOSTS)
            break;
        ImportHosts();
        result = 0;
        return true;
    case WM_MENUCHAR:
        if (!(HIWORD(wParam) & MF_POPUP))
            break;
        result = OnMenuChar(static_cast<char>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam));
        return true;
    case WM_TIMER:
        if (wParam != kStartWatchTimer)
            break;
        ::KillTimer(m_hwnd, kStartWatchTimer);
        m_folderWatch = std::make_unique<qb::FolderWatch>(".", [this] { postRefresh(); });
        m_session.watchStarted(m_stampBeforeStart, fileStamp(qb::kCatalogueFileName));
        result = 0;
        return true;
    case kRefreshMessage:
        m_refreshQueued = false;
        m_session.refresh();
        result = 0;
        return true;
    case WM_ACTIVATE:
        // Not handled here: the dialog's own activation goes on as usual.
        if (LOWORD(wParam) != WA_INACTIVE)
            m_session.activated();
        break;
    case WM_DPICHANGED:
        if (!lParam)
            break;
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_SYSCOLORCHANGE:
        // A new scheme (High Contrast's among them); the dialog then tells
        // the controls and repaints.
        ApplyFaceColour();
        break;
    case WM_HOTKEY:
        Summon();
        result = 0;
        return true;
    case WM_QUERYENDSESSION: result = TRUE; return true;
    case WM_ENDSESSION:
        if (wParam)
            m_session.endSession();
        result = 0;
        return true;
    default: break;
    }
    return win::Dialog::OnMessage(message, wParam, lParam, result);
}

bool CMainDlg::PreTranslateMessage(MSG& message)
{
    if (message.message == WM_RBUTTONDOWN && message.hwnd == m_hostList)
        m_rightClickTaken = false;
    if (message.message == WM_RBUTTONUP && message.hwnd == m_hostList && m_rightClickTaken) {
        // The list answered this click already (its capture was lost before
        // the release, so the release still came): one click, one action.
        m_rightClickTaken = false;
        return true;
    }
    // The find field has the context menu of a field to type in.
    if (message.message == WM_RBUTTONUP && message.hwnd != m_findField &&
        (message.hwnd == m_hwnd || IsChild(m_hwnd, message.hwnd))) {
        // Signed: a point left of or above a control's origin is negative.
        const POINT point = {static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
        OnContextMenuAt(message.hwnd, point);
        return true;
    }
    if (message.hwnd == m_findField && OnFindKeyMessage(message)) {
        return true;
    }
    if ((message.hwnd == m_hostList || message.hwnd == m_hwnd) && OnListKeyMessage(message)) {
        return true;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
        return true;
    }
    return win::Dialog::PreTranslateMessage(message);
}
