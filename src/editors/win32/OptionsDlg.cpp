#include "editors/win32/OptionsDlg.h"

#include "editors/RefusedTexts.h"
#include "res/resource.h"

COptionsDlg::COptionsDlg(HWND parent) : win::Dialog(IDD_OPTIONS, parent, IDR_MAINFRAME)
{}

void COptionsDlg::DoDataExchange(win::DataExchange& dx)
{
    dx.Check(IDC_HIDE_TASKBAR_BUTTON, m_form.hideTaskbarButton);
    dx.Text(IDC_ALTERNATE_BROWSER_PATH, m_form.alternateBrowserText);
    dx.Text(IDC_RDP_WIDTH, m_form.rdpWidthText);
    dx.Text(IDC_RDP_HEIGHT, m_form.rdpHeightText);
    dx.Hotkey(IDC_HOTKEY, m_form.hotkey);
}

void COptionsDlg::OnOK()
{
    UpdateData(true);
    if (const auto refused = qb::refuseOptionsText(m_form)) {
        RefuseControlText(IDC_ALTERNATE_BROWSER_PATH, *refused);
        return;
    }
    if (const auto refused = m_takeHotkey ? m_takeHotkey(m_form.hotkey) : std::nullopt) {
        RefuseControlText(IDC_HOTKEY, *refused);
        return;
    }
    EndDialog(IDOK);
}
