#include "app/win32/MainDlg.h"

#include "app/HostRows.h"
#include "controls/IconStrip.h"
#include "res/resource.h"
#include "win/App.h"
#include "win/CommonDialogs.h"

#include <string>

namespace {

// Outer height minus the rows, and list height minus the rows.
constexpr int kWindowExtraHeight = 25;
constexpr int kListExtraHeight = 2;
constexpr int kColumnWidth = 1000;

int height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

int width(const RECT& rect)
{
    return rect.right - rect.left;
}

}  // namespace

CMainDlg::CMainDlg()
    : win::Dialog(IDD_MAIN),
      m_iconStrip(win::LoadBitmapResource(IDB_ICONSTRIP)),
      m_iconMask(win::LoadBitmapResource(IDB_ICONMASK)),
      m_hIcon(win::LoadIconResource(IDR_MAINFRAME, 0, 0))
{
}

CMainDlg::~CMainDlg() = default;

BOOL CMainDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    m_hostList.SubclassDlgItem(IDC_HOST_LIST, m_hwnd);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    m_backgroundBrush.reset(CreateSolidBrush(face));

    // One column far wider than the window: the whole row is one cell.
    m_hostList.InsertColumn(0, "one", kColumnWidth, LVCFMT_LEFT);
    m_hostList.SetTextBkColor(face);
    m_hostList.SetBkColor(face);
    m_hostList.SetHighlightMode(HighlightMode::OwnerDrawn);
    m_hostList.m_rowColour = face;

    m_hostList.SetImageList(CreateSharedImageList(m_iconStrip, m_iconMask), LVSIL_SMALL);

    m_options.hideTaskbarButton = false;
    m_options.alternateBrowserPath = qb::kDefaultAlternateBrowser;
    m_options.rdpWidth = qb::kDefaultRdpWidth;
    m_options.rdpHeight = qb::kDefaultRdpHeight;

    qb::loadCatalogue(m_hosts, m_options, *this);
    fillHostList();
    return TRUE;
}

void CMainDlg::fillHostList()
{
    // Insert at explicit positions in sorted order: some list views do not
    // sort an owner-drawn list themselves.
    m_hostList.Send(WM_SETREDRAW, FALSE);
    m_hostList.DeleteAllItems();
    int position = 0;
    for (const qb::HostRow& row : qb::sortedHostRows(m_hosts)) {
        m_hostList.InsertItem(position++, row.text, row.icon, reinterpret_cast<LPARAM>(row.host));
    }
    m_hostList.Send(WM_SETREDRAW, TRUE);
    m_hostList.Invalidate(true);
    fitWindowToList();
}

void CMainDlg::fitWindowToList()
{
    const int rows = m_hostList.GetItemCount();
    if (rows == 0) {
        return;
    }
    RECT first = {};
    m_hostList.GetItemRect(0, first, LVIR_BOUNDS);
    const int rowHeight = height(first);

    const RECT window = GetWindowRect();
    SetWindowPos(m_hwnd, nullptr, 0, 0, width(window), rows * rowHeight + kWindowExtraHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT list = m_hostList.GetWindowRect();
    SetWindowPos(m_hostList, nullptr, 0, 0, width(list), rows * rowHeight + kListExtraHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CMainDlg::save()
{
    const HWND owner = m_hwnd;
    return qb::saveCatalogue(m_hosts, m_options, *this,
                             [owner](const std::string& message) { win::ShowMessage(message, MB_OK, owner); });
}

void CMainDlg::moveTopLeftTo(int32_t x, int32_t y)
{
    SetWindowPos(m_hwnd, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
}

void CMainDlg::dropTaskbarButton()
{
    ModifyExStyle(WS_EX_APPWINDOW, 0);
}

void CMainDlg::currentTopLeft(int32_t& x, int32_t& y)
{
    // The outer rectangle, as it is even while minimised.
    const RECT window = GetWindowRect();
    x = window.left;
    y = window.top;
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
    const int row = m_hostList.GetFirstSelected();
    if (row < 0) {
        return;
    }
    auto* host = reinterpret_cast<qb::HostItem*>(m_hostList.GetItemData(row));
    if (host) {
        ShowHostMenu(*host);
    }
    // Shift held once the menu is done: leave at once, as the OK command does.
    if (ShiftHeld()) {
        OnOK();
    }
    // The list never keeps a selection between clicks.
    m_hostList.SetItemState(row, 0, LVIS_SELECTED);
}

bool CMainDlg::ShiftHeld() const
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
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    const RECT client = GetClientRect();
    const int x = (width(client) - iconWidth + 1) / 2;
    const int y = (height(client) - iconHeight + 1) / 2;
    DrawIcon(paint, x, y, m_hIcon);
}

bool CMainDlg::OnClose()
{
    save();
    // No row may point at a freed host, even for the moment until the
    // window is gone.
    m_hostList.Send(WM_SETREDRAW, FALSE);
    m_hostList.DeleteAllItems();
    m_hosts.clear();
    EndDialog(IDCANCEL);
    return true;
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
    return win::Dialog::OnMeasureItem(id, item);
}

bool CMainDlg::OnInitMenuPopup(HMENU menu, UINT index, bool systemMenu)
{
    win::Dialog::OnInitMenuPopup(menu, index, systemMenu);
    if (!systemMenu) {
        CIconMenu::MakeOwnerDrawn(menu);
    }
    return true;
}

bool CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_QUERYDRAGICON) {
        result = reinterpret_cast<LRESULT>(m_hIcon.get());
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
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
        return true;
    }
    return win::Dialog::PreTranslateMessage(message);
}
