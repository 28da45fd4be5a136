// Thin wrappers over common controls: each call sends one message. Attach or
// subclass them to a dialog's control in OnInitDialog; derive from them (and
// override Control::OnMessage / OnReflect) for controls with behaviour.
#pragma once

#include "win/Window.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace win {

// Report-view list.
class ListView : public Control
{
public:
    // Image index meaning "no image" for InsertItem.
    static constexpr int kNoImage = I_IMAGENONE;

    int InsertColumn(int column, const std::string& heading, int width, int format = LVCFMT_LEFT);
    // Inserts at `index` (the list may sort it elsewhere); returns the row's
    // index, or -1.
    int InsertItem(int index, const std::string& text);
    int InsertItem(int index, const std::string& text, int image);
    bool DeleteItem(int item);
    bool DeleteAllItems();
    // The row count of a list whose rows its owner keeps (LVS_OWNERDATA).
    bool SetItemCount(int count);

    bool SetItemText(int item, int subItem, const std::string& text);
    // The full text, of any length.
    std::string GetItemText(int item, int subItem) const;
    int GetItemCount() const;

    UINT GetItemState(int item, UINT mask) const;
    // `item` -1 sets the state on every row.
    bool SetItemState(int item, UINT state, UINT mask);

    // LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL, LVIR_SELECTBOUNDS.
    bool GetItemRect(int item, RECT& rect, int code) const;

    // LVM_SUBITEMHITTEST: fills info.iItem / iSubItem / flags; returns iItem.
    int SubItemHitTest(LVHITTESTINFO& info) const;
    // LVNI_SELECTED, LVNI_FOCUSED ... after `start` (-1: from the top).
    int GetNextItem(int start, UINT flags) const;
    int GetFirstSelected() const { return GetNextItem(-1, LVNI_SELECTED); }
    bool EnsureVisible(int item, bool partialOk = false);
    // The first visible row, and how many whole rows the list shows.
    int GetTopIndex() const;
    int GetCountPerPage() const;
    // Scrolls by pixels (in report view a vertical amount is rounded to rows).
    bool Scroll(int dx, int dy);

    // LVSIL_SMALL, LVSIL_NORMAL, LVSIL_STATE; returns the previous list.
    HIMAGELIST SetImageList(HIMAGELIST images, int which);
    HIMAGELIST GetImageList(int which) const;

    int GetColumnWidth(int column) const;
    bool SetColumnWidth(int column, int width);
    // False when the list has no column `column`.
    bool GetColumnFormat(int column, int& format) const;

    bool SetTextBkColor(COLORREF colour);
    bool SetBkColor(COLORREF colour);
    DWORD SetExtendedStyle(DWORD mask, DWORD style);
    HWND GetHeader() const;
};

// ComboBoxEx32 (items with images).
class ComboBoxEx : public Control
{
public:
    HIMAGELIST SetImageList(HIMAGELIST images);
    // An item that shows its image alone (no text); its index or -1.
    int InsertImageItem(int index, int image, int selectedImage);
    // -1 when nothing is selected.
    int GetCurSel() const;
    // -1 clears the selection; returns the new selection or -1 (CB_ERR).
    int SetCurSel(int index);
};

// A tooltip window created (and destroyed) by its wrapper.
class ToolTip : public Control
{
public:
    ToolTip() = default;
    ~ToolTip() override;

    // Creates the tooltip for `owner`'s top-level window; false on failure.
    bool Create(HWND owner, DWORD style = TTS_ALWAYSTIP);
    void Destroy();
    // A tool `id` covering `rect` of `window` (client coordinates). The tip
    // learns of the mouse only through RelayEvent (the owner's
    // PreTranslateMessage passes every message on).
    bool AddTool(HWND window, UINT_PTR id, const RECT& rect, const std::string& text);
    void UpdateTipText(HWND window, UINT_PTR id, const std::string& text);
    void SetToolRect(HWND window, UINT_PTR id, const RECT& rect);
    // TTM_RELAYEVENT for mouse messages, so that the tip shows and hides.
    void RelayEvent(const MSG& message);
};

}  // namespace win
