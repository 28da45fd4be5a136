#include "win/Controls.h"

#include <vector>

namespace win {

// ---------------------------------------------------------------------------
// ListView

int ListView::InsertColumn(int column, const std::string& heading, int width, int format)
{
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = const_cast<char*>(heading.c_str());
    col.iSubItem = column;
    return static_cast<int>(Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)));
}

namespace {

int insertItem(const ListView& list, LVITEMA& item)
{
    return static_cast<int>(list.Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

}  // namespace

int ListView::InsertItem(int index, const std::string& text)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    return insertItem(*this, item);
}

int ListView::InsertItem(int index, const std::string& text, int image)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    return insertItem(*this, item);
}

bool ListView::DeleteItem(int item)
{
    return Send(LVM_DELETEITEM, static_cast<WPARAM>(item)) != FALSE;
}

bool ListView::DeleteAllItems()
{
    return Send(LVM_DELETEALLITEMS) != FALSE;
}

bool ListView::SetItemCount(int count)
{
    return Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count)) != FALSE;
}

bool ListView::SetItemText(int item, int subItem, const std::string& text)
{
    LVITEMA lv{};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<char*>(text.c_str());
    return Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

std::string ListView::GetItemText(int item, int subItem) const
{
    // The list copies at most the buffer less one; a full buffer may mean more.
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA lv{};
        lv.iSubItem = subItem;
        lv.pszText = buffer.data();
        lv.cchTextMax = static_cast<int>(buffer.size());
        const LRESULT length = Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        if (length < 0)
            return std::string();
        if (static_cast<size_t>(length) + 1 < buffer.size())
            return std::string(lv.pszText, static_cast<size_t>(length));
        if (buffer.size() >= (1u << 24))
            return std::string(lv.pszText, static_cast<size_t>(length));
        buffer.assign(buffer.size() * 4, '\0');
    }
}

int ListView::GetItemCount() const
{
    return static_cast<int>(Send(LVM_GETITEMCOUNT));
}

UINT ListView::GetItemState(int item, UINT mask) const
{
    return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
}

bool ListView::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMA lv{};
    lv.state = state;
    lv.stateMask = mask;
    return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

bool ListView::GetItemRect(int item, RECT& rect, int code) const
{
    rect = RECT{};
    rect.left = code;
    return Send(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)) != FALSE;
}

int ListView::SubItemHitTest(LVHITTESTINFO& info) const
{
    return static_cast<int>(Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

int ListView::GetNextItem(int start, UINT flags) const
{
    return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

bool ListView::EnsureVisible(int item, bool partialOk)
{
    return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk ? TRUE : FALSE) != FALSE;
}

int ListView::GetTopIndex() const
{
    return static_cast<int>(Send(LVM_GETTOPINDEX));
}

int ListView::GetCountPerPage() const
{
    return static_cast<int>(Send(LVM_GETCOUNTPERPAGE));
}

bool ListView::Scroll(int dx, int dy)
{
    return Send(LVM_SCROLL, static_cast<WPARAM>(dx), static_cast<LPARAM>(dy)) != FALSE;
}

HIMAGELIST ListView::SetImageList(HIMAGELIST images, int which)
{
    return reinterpret_cast<HIMAGELIST>(
        Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images)));
}

HIMAGELIST ListView::GetImageList(int which) const
{
    return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, static_cast<WPARAM>(which)));
}

int ListView::GetColumnWidth(int column) const
{
    return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

bool ListView::SetColumnWidth(int column, int width)
{
    return Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)) != FALSE;
}

bool ListView::GetColumnFormat(int column, int& format) const
{
    LVCOLUMNA col{};
    col.mask = LVCF_FMT;
    if (!Send(LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)))
        return false;
    format = col.fmt;
    return true;
}

bool ListView::SetTextBkColor(COLORREF colour)
{
    return Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colour)) != FALSE;
}

bool ListView::SetBkColor(COLORREF colour)
{
    return Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(colour)) != FALSE;
}

DWORD ListView::SetExtendedStyle(DWORD mask, DWORD style)
{
    return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
}

HWND ListView::GetHeader() const
{
    return reinterpret_cast<HWND>(Send(LVM_GETHEADER));
}

// ---------------------------------------------------------------------------
// ComboBoxEx

HIMAGELIST ComboBoxEx::SetImageList(HIMAGELIST images)
{
    return reinterpret_cast<HIMAGELIST>(Send(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)));
}

int ComboBoxEx::InsertImageItem(int index, int image, int selectedImage)
{
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = index;
    item.iImage = image;
    item.iSelectedImage = selectedImage;
    return static_cast<int>(Send(CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int ComboBoxEx::GetCurSel() const
{
    const LRESULT selection = Send(CB_GETCURSEL);
    return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

int ComboBoxEx::SetCurSel(int index)
{
    const LRESULT selection = Send(CB_SETCURSEL, static_cast<WPARAM>(index));
    return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

// ---------------------------------------------------------------------------
// ToolTip

ToolTip::~ToolTip()
{
    Destroy();
}

bool ToolTip::Create(HWND owner, DWORD style)
{
    if (GetSafeHwnd())
        return false;
    const HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    const HWND tip =
        ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, top, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!tip)
        return false;
    // Subclassed so that we notice when its owner takes it down with itself.
    if (!SubclassWindow(tip)) {
        ::DestroyWindow(tip);
        return false;
    }
    return true;
}

void ToolTip::Destroy()
{
    if (const HWND tip = GetSafeHwnd())
        ::DestroyWindow(tip);  // WM_NCDESTROY empties the wrapper
    if (GetSafeHwnd())
        Detach();
}

namespace {

TTTOOLINFOA toolInfo(HWND window, UINT_PTR id)
{
    TTTOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = window;
    info.uId = id;
    return info;
}

}  // namespace

bool ToolTip::AddTool(HWND window, UINT_PTR id, const RECT& rect, const std::string& text)
{
    TTTOOLINFOA info = toolInfo(window, id);
    // No TTF_SUBCLASS: the owner relays mouse messages (RelayEvent).
    info.uFlags = 0;
    info.rect = rect;
    info.hinst = nullptr;
    info.lpszText = const_cast<char*>(text.c_str());
    return Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void ToolTip::UpdateTipText(HWND window, UINT_PTR id, const std::string& text)
{
    TTTOOLINFOA info = toolInfo(window, id);
    info.lpszText = const_cast<char*>(text.c_str());
    Send(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetToolRect(HWND window, UINT_PTR id, const RECT& rect)
{
    TTTOOLINFOA info = toolInfo(window, id);
    info.rect = rect;
    Send(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::RelayEvent(const MSG& message)
{
    if (GetSafeHwnd())
        Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

}  // namespace win
