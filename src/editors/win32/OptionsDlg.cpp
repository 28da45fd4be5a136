#include "editors/win32/OptionsDlg.h"

#include "res/resource.h"

COptionsDlg::COptionsDlg(HWND parent) : win::Dialog(IDD_OPTIONS, parent)
{
}

void COptionsDlg::LoadFrom(const qb::OptionsForm& form)
{
    m_hideTaskbarButtonCheck = form.hideTaskbarButton;
    m_alternateBrowserText = form.alternateBrowserText;
    m_rdpWidthText = form.rdpWidthText;
    m_rdpHeightText = form.rdpHeightText;
}

qb::OptionsForm COptionsDlg::Form() const
{
    qb::OptionsForm form;
    form.hideTaskbarButton = m_hideTaskbarButtonCheck;
    form.alternateBrowserText = m_alternateBrowserText;
    form.rdpWidthText = m_rdpWidthText;
    form.rdpHeightText = m_rdpHeightText;
    return form;
}

void COptionsDlg::DoDataExchange(win::DataExchange& dx)
{
    dx.check(IDC_HIDE_TASKBAR_BUTTON, m_hideTaskbarButtonCheck);
    dx.text(IDC_ALTERNATE_BROWSER_PATH, m_alternateBrowserText);
    dx.text(IDC_RDP_WIDTH, m_rdpWidthText);
    dx.text(IDC_RDP_HEIGHT, m_rdpHeightText);
}

BOOL COptionsDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();
    m_smallIcon = win::LoadSmallIconResource(IDR_MAINFRAME);
    SetIcon(m_smallIcon.get(), false);
    return TRUE;
}
