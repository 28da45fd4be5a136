#include "launch/win32/InputDialogs.h"

#include "launch/Secrets.h"
#include "res/resource.h"
#include "win/App.h"

CInputPromptDlg::CInputPromptDlg(UINT templateId) : win::Dialog(templateId)
{}

void CInputPromptDlg::DoDataExchange(win::DataExchange& dx)
{
    if (!dx.Saving()) {
        dx.Text(IDC_INPUT_TEXT, m_text);
        return;
    }
    // Read straight into m_text, so that no temporary copy of a typed
    // password is left behind in freed memory.
    HWND field = GetDlgItem(IDC_INPUT_TEXT);
    if (!field)
        return;
    qb::wipeSecret(m_text);
    const int length = GetWindowTextLengthA(field);
    if (length <= 0)
        return;
    m_text.resize(size_t(length) + 1);
    const int copied = GetWindowTextA(field, &m_text[0], length + 1);
    m_text.resize(copied > 0 ? size_t(copied) : 0);
}

BOOL CInputPromptDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();
    // A shared icon: the system frees it, not us.
    SetIcon(LoadIconA(win::moduleInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME)), false);
    return TRUE;
}

CUserInputDlg::CUserInputDlg() : CInputPromptDlg(IDD_USER_INPUT)
{}

CPasswordInputDlg::CPasswordInputDlg() : CInputPromptDlg(IDD_PASSWORD_INPUT)
{}

CPasswordInputDlg::~CPasswordInputDlg()
{
    qb::wipeSecret(m_text);
}

void CPasswordInputDlg::OnOK()
{
    CInputPromptDlg::OnOK();
    WipeField();
}

void CPasswordInputDlg::OnCancel()
{
    WipeField();
    CInputPromptDlg::OnCancel();
}

void CPasswordInputDlg::WipeField()
{
    HWND field = GetDlgItem(IDC_INPUT_TEXT);
    if (!field)
        return;
    // Same-length filler first: the edit control replaces its text in place,
    // so the typed characters are overwritten before its buffer is freed.
    const int length = GetWindowTextLengthA(field);
    if (length > 0) {
        std::string filler(size_t(length), '*');
        SetWindowTextA(field, filler.c_str());
    }
    SendMessageA(field, EM_EMPTYUNDOBUFFER, 0, 0);
    SetWindowTextA(field, "");
}
