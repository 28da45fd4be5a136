// The entry editor: one entry's kind (four radio buttons) and the fields of
// that kind. The caller sets m_entry, runs the dialog and, after OK, takes
// m_entry back.
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

    qb::CommandEntry m_entry;
    HIMAGELIST m_imageList = nullptr;  // shared, not owned

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void OnKindChanged();

    win::ComboBoxEx m_iconPicker;
};
