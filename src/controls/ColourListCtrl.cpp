#include "controls/ColourListCtrl.h"

#include "catalogue/TextRules.h"
#include "handles/WideText.h"
#include "win/Handles.h"
#include "controls/IconStrip.h"
#include "win/HighContrast.h"

#include <algorithm>
#include <string>
#include <type_traits>

namespace {

RECT rowRect(const win::ListView& list, int row, int part)
{
    RECT rect = {};
    list.GetItemRect(row, rect, part);
    return rect;
}

UINT justification(int columnFormat)
{
    switch (columnFormat & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT: return DT_RIGHT;
    case LVCFMT_CENTER: return DT_CENTER;
    default: return DT_LEFT;
    }
}

bool isNavigationKey(WPARAM key)
{
    switch (key) {
    case VK_DOWN:
    case VK_UP:
    case VK_HOME:
    case VK_END:
    case VK_NEXT:
    case VK_PRIOR: return true;
    default: return false;
    }
}

}  // namespace

CColourListCtrl::CColourListCtrl() : m_rowColour(GetSysColor(COLOR_WINDOW))
{}

CColourListCtrl::~CColourListCtrl() = default;

HighlightMode CColourListCtrl::SetHighlightMode(HighlightMode mode)
{
    if (mode > HighlightMode::OwnerDrawnToEdge) {
        return m_highlightMode;
    }
    const HighlightMode previous = m_highlightMode;
    m_highlightMode = mode;
    if (mode != HighlightMode::ListDrawn) {
        ModifyStyle(0, LVS_OWNERDRAWFIXED);
    }
    Invalidate(true);
    return previous;
}

bool CColourListCtrl::IsReportView() const
{
    return (GetStyle() & LVS_TYPEMASK) == LVS_REPORT;
}

void CColourListCtrl::DrawItem(const DRAWITEMSTRUCT& request)
{
    HDC dc = request.hDC;
    const int row = static_cast<int>(request.itemID);

    // Restoring the saved state also takes the clipping off again.
    win::SavedDC savedState(dc);
    win::Brush highlightBrush(CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));

    LVITEMA item = {};
    item.mask = LVIF_STATE | (m_rowSource ? 0 : LVIF_IMAGE);
    item.iItem = row;
    item.stateMask = ~0u;
    Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));

    // The style first: asking for the focus is dearer than reading a style.
    const bool highlighted =
        (item.state & LVIS_DROPHILITED) != 0 ||
        ((item.state & LVIS_SELECTED) != 0 && ((GetStyle() & LVS_SHOWSELALWAYS) != 0 || GetFocus() == m_hwnd));

    const RECT bounds = rowRect(*this, row, LVIR_BOUNDS);
    RECT label = rowRect(*this, row, LVIR_LABEL);
    const RECT icon = rowRect(*this, row, LVIR_ICON);

    // A source's row has its fields; a row of the list's own carries its
    // colour in its text.
    std::string ownText;
    ListRow shown;
    if (m_rowSource) {
        shown = m_rowSource->Row(row);
    } else {
        ownText = GetItemText(row, 0);
        const qb::BarText parts = qb::splitBarText(ownText);
        shown.text = parts.shown;
        if (parts.hasNumber)
            shown.colour = static_cast<COLORREF>(parts.number);
        shown.image = item.iImage;
    }
    // High Contrast: no colour of the row's own, whoever chose it.
    const bool systemColours = win::highContrast();
    win::Brush rowBrush(
        CreateSolidBrush(systemColours ? GetSysColor(COLOR_WINDOW) : shown.colour.value_or(m_rowColour)));

    SIZE space = {};
    GetTextExtentPoint32A(dc, " ", 1, &space);
    const int offset = 2 * space.cx;

    // Text goes straight onto the row's own colour: an opaque text background
    // would put a box of the list's background colour round it.
    SetBkMode(dc, TRANSPARENT);
    if (highlighted) {
        ::SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        ::SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        FillRect(dc, &bounds, highlightBrush);
    } else {
        FillRect(dc, &bounds, rowBrush);
        if (systemColours)
            ::SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    }

    RECT cell = bounds;
    cell.right = cell.left + GetColumnWidth(0);
    win::Region clip(CreateRectRgnIndirect(&cell));
    SelectClipRgn(dc, clip);

    const int stateImage = static_cast<int>((item.state & LVIS_STATEIMAGEMASK) >> 12);
    if (HIMAGELIST stateImages = GetImageList(LVSIL_STATE); stateImage != 0 && stateImages) {
        ImageList_Draw(stateImages, stateImage - 1, dc, cell.left, cell.top, ILD_TRANSPARENT);
    }
    if (HIMAGELIST smallImages = GetImageList(LVSIL_SMALL)) {
        UINT style = ILD_TRANSPARENT | (item.state & LVIS_OVERLAYMASK);
        if (highlighted) {
            style |= ILD_BLEND50;
        }
        drawIcon(smallImages, shown.image, dc, icon.left, icon.top, style);
    }

    // Column 0 is clipped to its cell, not to the label.
    label.left += offset / 2;
    label.right -= offset;
    DrawTextA(dc, shown.text.data(), static_cast<int>(shown.text.size()), &label,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);

    SetRectRgn(clip, bounds.left, bounds.top, bounds.right, bounds.bottom);
    SelectClipRgn(dc, clip);

    int format = 0;
    for (int column = 1; GetColumnFormat(column, format); ++column) {
        cell.left = cell.right;
        cell.right += GetColumnWidth(column);
        const std::string subText = GetItemText(row, column);
        if (subText.empty()) {
            continue;
        }
        RECT textRect = cell;
        textRect.left += offset;
        textRect.right -= offset;
        DrawTextA(dc, subText.c_str(), static_cast<int>(subText.size()), &textRect,
                  justification(format) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    // The keyboard's row, once the keyboard has been used (the focus cues).
    if ((request.itemState & ODS_FOCUS) && !(request.itemState & ODS_NOFOCUSRECT) &&
        !(Send(WM_QUERYUISTATE) & UISF_HIDEFOCUS)) {
        DrawFocusRect(dc, &bounds);
    }
}

void CColourListCtrl::RepaintFocusAndSelection()
{
    auto invalidateRow = [this](int row) {
        const RECT bounds = rowRect(*this, row, LVIR_BOUNDS);
        const RECT label = rowRect(*this, row, LVIR_LABEL);
        const RECT area = {label.left, bounds.top, bounds.right, bounds.bottom};
        InvalidateRect(area, false);
    };
    const int focused = GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0) {
        invalidateRow(focused);
    }
    if ((GetStyle() & LVS_SHOWSELALWAYS) == 0) {
        for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
            invalidateRow(row);
        }
    }
    Update();
}

void CColourListCtrl::WidenRepaintArea()
{
    const RECT first = rowRect(*this, 0, LVIR_BOUNDS);
    const RECT client = GetClientRect();
    if (first.right >= client.right) {
        return;
    }
    // Beginning and ending a paint yields the waiting area and validates it.
    RECT area;
    {
        win::PaintDC paint(m_hwnd);
        area = paint.paint().rcPaint;
    }
    if (first.right - 1 < area.left) {
        area.left = first.right - 1;
    }
    area.right = client.right;
    InvalidateRect(area, false);
}

void CColourListCtrl::SelectAll()
{
    // The count is read again each time round: selecting may change it.
    for (int row = 0; row < GetItemCount(); ++row) {
        SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
}

bool CColourListCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_PAINT:
        if (m_highlightMode == HighlightMode::OwnerDrawnToEdge && IsReportView() && GetItemCount() > 0) {
            WidenRepaintArea();
        }
        return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        result = DefProc(message, wParam, lParam);
        // wParam is the other window of the change; a child of ours (the
        // header) taking or giving the focus changes nothing on the rows.
        HWND other = reinterpret_cast<HWND>(wParam);
        if (!(other && IsChild(m_hwnd, other)) && IsReportView()) {
            RepaintFocusAndSelection();
        }
        return true;
    }
    case WM_KEYDOWN:
        result = DefProc(message, wParam, lParam);
        if (isNavigationKey(wParam)) {
            ::SendMessageA(GetParent(), WM_COMMAND, MAKEWPARAM(CmdListNavigate, 0), 0);
        }
        if (wParam == 'A' && (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0) {
            SelectAll();
        }
        return true;
    default: return false;
    }
}

// The list asks in the code page of the parent's notifications; both are
// answered, and text longer than the list's buffer is cut.
template <class Item>
void CColourListCtrl::AnswerDisplayInfo(Item& item) const
{
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0)
        item.iImage = m_rowSource->Row(item.iItem).image;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    const std::string_view text = item.iSubItem == 0 ? m_rowSource->Row(item.iItem).text : std::string_view();
    if constexpr (std::is_same_v<Item, LVITEMW>) {
        const std::wstring wide = win::toWide(text, CP_ACP);
        const size_t length = std::min(wide.size(), static_cast<size_t>(item.cchTextMax - 1));
        wide.copy(item.pszText, length);
        item.pszText[length] = L'\0';
    } else {
        const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
        text.copy(item.pszText, length);
        item.pszText[length] = '\0';
    }
}

bool CColourListCtrl::OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_DRAWITEM) {
        const auto* request = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (request->CtlType != ODT_LISTVIEW && request->CtlType != ODT_LISTBOX) {
            return false;
        }
        DrawItem(*request);
        result = TRUE;
        return true;
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == LVN_BEGINDRAG) {
            // Rows are not reordered by dragging; the owner never hears of it.
            result = 0;
            return true;
        }
        if (m_rowSource && header->code == LVN_GETDISPINFOA) {
            AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(lParam)->item);
            result = 0;
            return true;
        }
        if (m_rowSource && header->code == LVN_GETDISPINFOW) {
            AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(lParam)->item);
            result = 0;
            return true;
        }
    }
    return false;
}
