// The Options dialog: the taskbar flag, the remote desktop size and the
// alternate browser, exchanged as one form (a check box state and three
// texts) that the caller sets before and reads after OK.
#pragma once

#include "editors/OptionsValues.h"
#include "win/Dialog.h"

class COptionsDlg : public win::Dialog
{
public:
    explicit COptionsDlg(HWND parent = nullptr);

    qb::OptionsForm m_form;

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override;
};
