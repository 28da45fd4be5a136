// The host editor: title, host name, icon, row colour and the ordered entries
// of one host. It edits the working copy it is handed in place; the caller
// copies that back on OK and throws it away on Cancel.
#pragma once

#include "catalogue/HostRecords.h"
#include "controls/ColourListCtrl.h"
#include "controls/LinkLabel.h"
#include "launch/WebLink.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>

// The project's own web address, shown and opened by the link label.
extern const char* const kMakerAddress;

class CEditItemDlg : public win::Dialog
{
public:
    // links: what the link label opens the project's address with.
    explicit CEditItemDlg(qb::LinkSystem& links, HWND parent = nullptr);

    HIMAGELIST m_imageList = nullptr;  // shared, not owned
    qb::HostItem* m_host = nullptr;    // the working copy, not owned
    int32_t m_rdpWidth = 0;
    int32_t m_rdpHeight = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnPaint() override;
    bool PreTranslateMessage(MSG& message) override;

private:
    void OnEntryDoubleClick();
    void OnEntryUp();
    void OnEntryDown();
    void OnEntryDelete();
    void OnEntryAdd();
    void OnEntryEdit();
    void OnAddTemplateEntries();
    void OnBackgroundColour();

    void FillEntryList();
    std::optional<qb::CommandEntry> EntryAt(int index) const;
    int SelectedRow() const;
    void SelectRow(int row, bool scroll);
    // Selects the newest entry, at the end, and scrolls it into view.
    void SelectLastRow();

    win::ComboBoxEx m_iconPicker;
    win::Control m_titleEdit;
    win::Control m_hostEdit;
    CColourListCtrl m_entryList;
    CLinkLabel m_link;
};
