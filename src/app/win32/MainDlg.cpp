#include "app/win32/MainDlg.h"

#include "app/DisplayScale.h"
#include "app/WindowPlacement.h"
#include "app/win32/VirtualStoreOffer.h"
#include "catalogue/CatalogueMerge.h"
#include "controls/IconStrip.h"
#include "res/resource.h"
#include "win/App.h"
#include "win/Dpi.h"
#include "win/CommonDialogs.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Posted by the folder watch when the catalogue's folder changed.
constexpr UINT kRefreshMessage = WM_APP + 1;

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

qb::ScreenRect workAreaOf(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return screenRect(info.rcWork);
}

// The same font at another DPI. Through its point size, as the dialog
// manager makes it, so that a window moved to another scale and back gets
// the font it started with.
win::Font fontForDpi(HFONT font, UINT from, UINT to)
{
    LOGFONTW attributes{};
    if (!font || !GetObjectW(font, sizeof attributes, &attributes))
        return win::Font();
    attributes.lfHeight = attributes.lfHeight < 0 ? -MulDiv(MulDiv(-attributes.lfHeight, 72, int(from)), int(to), 72)
                                                  : MulDiv(attributes.lfHeight, int(to), int(from));
    return win::Font(CreateFontIndirectW(&attributes));
}

// A row as tall as the taller of the list's text and its icons, and a pixel
// more, as the list measures it by itself. Answered all the same: a list
// that has measured its rows once may keep that height through a change of
// font or icons, and asks its parent again only when it is resized.
UINT listRowHeight(HWND list)
{
    TEXTMETRICW metrics{};
    {
        const win::WindowDC dc(list);
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
        const win::SelectGuard selected(dc, font ? font : GetStockObject(SYSTEM_FONT));
        GetTextMetricsW(dc, &metrics);
    }
    int iconWidth = 0;
    int iconHeight = 0;
    if (const HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL))
        ImageList_GetIconSize(images, &iconWidth, &iconHeight);
    return UINT(std::max<int>(metrics.tmHeight, iconHeight) + 1);
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

CMainDlg::CMainDlg(qb::FileStore& files)
    : win::Dialog(IDD_MAIN), m_session(files), m_caseTable(ansiCaseTable()), m_typeAhead(m_caseTable),
      m_hIcon(win::loadIconResource(IDR_MAINFRAME, 0, 0))
{}

CMainDlg::~CMainDlg() = default;

BOOL CMainDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    m_hostList.SubclassDlgItem(IDC_HOST_LIST, m_hwnd);
    m_hostList.SetRowSource(&m_rows);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    m_backgroundBrush.reset(CreateSolidBrush(face));

    m_dpi = win::dpiForWindow(m_hwnd);
    m_templateWidth = width(GetWindowRect());
    m_templateListWidth = width(m_hostList.GetWindowRect());
    m_listFrameWidth = m_templateListWidth - width(m_hostList.GetClientRect());
    // One column as wide as the list without its scroll bar: the whole row
    // is one cell, and a long title ends in an ellipsis at the window's edge.
    m_hostList.InsertColumn(0, "one", m_templateListWidth - m_listFrameWidth, LVCFMT_LEFT);
    m_hostList.SetTextBkColor(face);
    m_hostList.SetBkColor(face);
    m_hostList.SetHighlightMode(HighlightMode::OwnerDrawn);
    m_hostList.m_rowColour = face;

    m_images = iconImagesForDpi(m_dpi);
    m_hostList.SetImageList(m_images, LVSIL_SMALL);

    const HMENU systemMenu = ::GetSystemMenu(m_hwnd, FALSE);
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_IMPORT_HOSTS, "Import hosts...");

    m_options.hideTaskbarButton = false;
    m_options.alternateBrowserPath = qb::kDefaultAlternateBrowser;
    m_options.rdpWidth = qb::kDefaultRdpWidth;
    m_options.rdpHeight = qb::kDefaultRdpHeight;

    {
        // The window is not shown yet; the message box runs its own loop.
        NestedLoop loop(*this);
        const HWND owner = m_hwnd;
        m_session.load(m_hosts, m_options, *this,
                       [owner](const std::string& message) { win::showMessage(message, MB_OK, owner); });
        offerVirtualStoreCopy(owner, m_session, m_hosts, m_options, *this);
    }
    fillHostList();
    // The focus rectangle shows once the keyboard is used, unless it was the
    // keyboard that started the program (or the user always wants it).
    Send(WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL));
    const HWND window = m_hwnd;
    m_folderWatch = std::make_unique<qb::FolderWatch>(".", [this, window] {
        if (!m_refreshQueued.exchange(true))
            PostMessageA(window, kRefreshMessage, 0, 0);
    });
    return TRUE;
}

void CMainDlg::fillHostList(const qb::HostItem* focus)
{
    const int keptTop = m_hostList.GetTopIndex();
    const int keptFocus = FocusedRow();
    // The list keeps no rows of its own (owner data): it asks m_rows for
    // those it shows. Emptied first, so that no selection or focus of the
    // old rows stays on the new ones.
    m_hostList.DeleteAllItems();
    m_rows.Rebuild(m_hosts);
    const int position = m_rows.Count();
    int focusRow = -1;
    for (int row = 0; focus && row < position && focusRow < 0; ++row)
        if (m_rows.Host(row) == focus)
            focusRow = row;
    m_hostList.SetItemCount(position);
    fitWindowToList();
    if (position > 0) {
        RECT first = {};
        m_hostList.GetItemRect(0, first, LVIR_BOUNDS);
        // Relative: the list may or may not have kept its place while empty.
        m_hostList.Scroll(0, (keptTop - m_hostList.GetTopIndex()) * height(first));
        const int row = focusRow >= 0 ? focusRow : std::min(std::max(keptFocus, 0), position - 1);
        m_hostList.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        if (focusRow >= 0)
            m_hostList.EnsureVisible(row, false);
    }
    m_hostList.Invalidate(true);
}

void CMainDlg::fitWindowToList()
{
    const int rows = m_hostList.GetItemCount();
    if (rows > 0) {
        RECT first = {};
        m_hostList.GetItemRect(0, first, LVIR_BOUNDS);
        const int rowHeight = height(first);

        const RECT window = GetWindowRect();
        const qb::ListFit fit = qb::fitRowsToWorkArea(rows, rowHeight, window.top, workAreaOf(m_hwnd), int(m_dpi));
        const int scrollBar = fit.scrolls ? win::metricForDpi(SM_CXVSCROLL, m_dpi) : 0;
        // No column while the list is resized: rows that outgrew it before it
        // grows bring a vertical scroll bar, which narrows it below the
        // column, and the horizontal bar that follows would take a row's room
        // from the new height and keep both bars for good.
        m_hostList.SetColumnWidth(0, 0);
        // Moved only when it must: a move during initialisation would keep
        // the window from being centred.
        const UINT move = fit.top == window.top ? SWP_NOMOVE : 0;
        SetWindowPos(m_hwnd, nullptr, window.left, fit.top, m_templateWidth + scrollBar, fit.outerHeight,
                     move | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(m_hostList, nullptr, 0, 0, m_templateListWidth + scrollBar, fit.listHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // As wide as the list beside its scroll bar: a long title ends in an
    // ellipsis at the window's edge.
    m_hostList.SetColumnWidth(0, m_templateListWidth - m_listFrameWidth);
}

int CMainDlg::FocusedRow() const
{
    return m_hostList.GetNextItem(-1, LVNI_FOCUSED);
}

bool CMainDlg::save()
{
    NestedLoop loop(*this);
    std::vector<std::string> messages;
    const qb::SaveOutcome outcome =
        m_session.save(m_hosts, m_options, *this, [&messages](const std::string& m) { messages.push_back(m); });
    if (outcome.changed)
        fillHostList();
    ShowReports(messages);
    return outcome.saved;
}

bool CMainDlg::refreshFromFile()
{
    if (m_closing)
        return false;
    if (m_nestedLoops > 0) {
        m_refreshDeferred = true;
        return false;
    }
    NestedLoop loop(*this);
    // Wine's list selects a row at the button's press and reports the click
    // at its release: a rebuild in between keeps the pressed host selected,
    // so that the click still finds it.
    qb::HostItem pressed;
    const qb::HostItem* selected = HostAt(m_hostList.GetFirstSelected());
    if (selected)
        qb::copyHost(*selected, pressed);
    std::vector<std::string> messages;
    if (!m_session.refresh(m_hosts, m_options, *this, [&messages](const std::string& m) { messages.push_back(m); }))
        return false;
    fillHostList();  // keeps the scroll position and the focused row
    if (selected) {
        for (int row = 0; row < m_rows.Count(); ++row) {
            if (qb::sameHost(*m_rows.Host(row), pressed)) {
                m_hostList.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
                break;
            }
        }
    }
    ShowReports(messages);
    return true;
}

void CMainDlg::ShowReports(const std::vector<std::string>& messages)
{
    for (const std::string& message : messages)
        win::showMessage(message, MB_OK, m_hwnd);
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

CMainDlg::NestedLoop::NestedLoop(CMainDlg& window) : m_window(window)
{
    ++m_window.m_nestedLoops;
}

CMainDlg::NestedLoop::~NestedLoop()
{
    if (--m_window.m_nestedLoops == 0 && m_window.m_closeDeferred && !m_window.m_closing) {
        m_window.m_closeDeferred = false;
        // Posted: the caller finishes its operation (list, save) first.
        PostMessageA(m_window.m_hwnd, WM_CLOSE, 0, 0);
    }
    if (m_window.m_nestedLoops == 0 && m_window.m_refreshDeferred) {
        m_window.m_refreshDeferred = false;
        if (!m_window.m_refreshQueued.exchange(true))
            PostMessageA(m_window.m_hwnd, kRefreshMessage, 0, 0);
    }
}

bool CMainDlg::OnNotify(NMHDR& header, LRESULT& result)
{
    if (header.idFrom == IDC_HOST_LIST && header.code == NM_CLICK) {
        OnHostClick();
        result = 0;
        return true;
    }
    if (header.idFrom == IDC_HOST_LIST && header.code == NM_RCLICK) {
        // The list tracks the right button itself and swallows its release,
        // so a right click on the list arrives here instead.
        OnContextMenuAt(m_hostList, reinterpret_cast<NMITEMACTIVATE&>(header).ptAction);
        result = TRUE;
        return true;
    }
    return false;
}

void CMainDlg::OnHostClick()
{
    if (m_hostList.GetFirstSelected() < 0) {
        return;
    }
    // A share may not tell of a colleague's save: look before the menu
    // opens. The clicked host stays selected, on its row in what was merged.
    refreshFromFile();
    const int row = m_hostList.GetFirstSelected();
    if (row < 0) {
        return;  // deleted by the colleague
    }
    qb::HostItem* host = HostAt(row);
    NestedLoop loop(*this);
    if (host) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ShowHostMenu(*host, cursor, false);
    }
    // Shift held once the menu is done: leave at once, unsaved.
    if (ShiftHeld()) {
        EndDialog(IDOK);
    }
    // The list never keeps a selection between clicks.
    m_hostList.SetItemState(row, 0, LVIS_SELECTED);
}

bool CMainDlg::ShiftHeld()
{
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
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
    // The new font first: the list must never hold a deleted one.
    win::Font font = fontForDpi(m_hostList.GetFont(), previous, dpi);
    if (font) {
        m_hostList.SetFont(font.get(), false);
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
    fitWindowToList();
    m_hostList.Invalidate(true);
}

void CMainDlg::OnOK()
{}

void CMainDlg::OnCancel()
{}

bool CMainDlg::OnClose()
{
    // A second request while the first one's save shows a message: the
    // first one closes anyway.
    if (m_closing) {
        return true;
    }
    if (m_nestedLoops > 0) {
        m_closeDeferred = true;
        return true;
    }
    m_closing = true;
    {
        NestedLoop loop(*this);
        std::vector<std::string> messages;
        const qb::SaveOutcome outcome = m_session.saveBeforeClose(
            m_hosts, m_options, *this, [&messages](const std::string& m) { messages.push_back(m); });
        if (outcome.changed)
            fillHostList();
        ShowReports(messages);
        const std::string question = qb::closeAnywayQuestion(outcome);
        // The changes would be lost: only the user may choose that.
        if (!question.empty() && win::showMessage(question, MB_YESNO | MB_ICONWARNING, m_hwnd) != IDYES) {
            m_closing = false;
            return true;
        }
    }
    // No row may point at a freed host, even for the moment until the
    // window is gone.
    m_hostList.Send(WM_SETREDRAW, FALSE);
    m_hostList.DeleteAllItems();
    m_rows.Clear();
    m_hosts.clear();
    EndDialog(IDCANCEL);
    return true;
}

void CMainDlg::OnEndSession()
{
    // The process ends when this returns, whatever dialog or menu is open:
    // no waiting for it, and nothing freed under it.
    if (m_closing) {
        return;  // the close request has saved already
    }
    save();
}

HBRUSH CMainDlg::OnCtlColor(HDC dc, HWND control, UINT message)
{
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
        item.itemHeight = listRowHeight(::GetDlgItem(m_hwnd, id));
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
    if (message == WM_QUERYDRAGICON) {
        result = reinterpret_cast<LRESULT>(m_hIcon.get());
        return true;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == IDM_IMPORT_HOSTS) {
        ImportHosts();
        result = 0;
        return true;
    }
    if (message == WM_MENUCHAR && HIWORD(wParam) & MF_POPUP) {
        result = OnMenuChar(static_cast<char>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam));
        return true;
    }
    if (message == kRefreshMessage) {
        m_refreshQueued = false;
        refreshFromFile();
        result = 0;
        return true;
    }
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        // Not handled here: the dialog's own activation goes on as usual.
        // The first activation is the start, which has just read the file.
        if (m_activatedBefore)
            refreshFromFile();
        m_activatedBefore = true;
    }
    if (message == WM_DPICHANGED && lParam) {
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    }
    if (message == WM_QUERYENDSESSION) {
        result = TRUE;
        return true;
    }
    if (message == WM_ENDSESSION) {
        if (wParam) {
            OnEndSession();
        }
        result = 0;
        return true;
    }
    return win::Dialog::OnMessage(message, wParam, lParam, result);
}

bool CMainDlg::PreTranslateMessage(MSG& message)
{
    if (message.message == WM_RBUTTONUP && (message.hwnd == m_hwnd || IsChild(m_hwnd, message.hwnd))) {
        // Signed: a point left of or above a control's origin is negative.
        const POINT point = {static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
        OnContextMenuAt(message.hwnd, point);
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
