// The Options dialog: the taskbar flag, the remote desktop size and the
// alternate browser, exchanged as a check box state and three texts.
#pragma once

#include "editors/OptionsValues.h"
#include "win/Dialog.h"
#include "win/Handles.h"

#include <string>

class COptionsDlg : public win::Dialog
{
public:
    explicit COptionsDlg(HWND parent = nullptr);

    bool m_hideTaskbarButtonCheck = false;
    std::string m_alternateBrowserText;
    std::string m_rdpWidthText;
    std::string m_rdpHeightText;

    void LoadFrom(const qb::OptionsForm& form);
    qb::OptionsForm Form() const;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(win::DataExchange& dx) override;

private:
    win::Icon m_smallIcon;
};
