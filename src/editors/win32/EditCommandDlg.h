// The entry editor: one entry's kind (four radio buttons) and the fields of
// that kind. It exchanges plain values through its members; the caller loads
// them from an entry and copies them back after OK.
#pragma once

#include "catalogue/HostRecords.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// Switches on the shell's auto-completion for an edit control. The shell
// library is loaded on the first call and kept for the life of the process.
// False when the window is null or the service is not available.
bool EnableAutoComplete(HWND window, DWORD flags);

class CEditCommandDlg : public win::Dialog
{
public:
    explicit CEditCommandDlg(HWND parent = nullptr);

    std::string m_name;
    std::string m_params;
    std::string m_command;
    bool m_confirm = false;
    bool m_bold = false;
    std::string m_templateHost;
    std::string m_drives;
    bool m_useAlternateBrowser = false;
    std::string m_url;
    std::string m_urlName;
    HIMAGELIST m_imageList = nullptr;  // shared, not owned
    int m_icon = 0;
    qb::EntryKind m_kind = qb::CustomCommand;
    win::ComboBoxEx m_iconPicker;

    // Loads every member from an entry, and stores them all back.
    void LoadFrom(const qb::CommandEntry& entry);
    void StoreTo(qb::CommandEntry& entry) const;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void OnKindChanged();

    win::Icon m_smallIcon;
};
