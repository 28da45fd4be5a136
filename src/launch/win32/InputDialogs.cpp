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

void CPasswordInputDlg::DoDataExchange(win::DataExchange& dx)
{
    CInputPromptDlg::DoDataExchange(dx);
    dx.Check(IDC_REMEMBER_PASSWORD, m_remember);
    if (!dx.Saving())
        dx.Text(IDC_PASSWORD_NOTICE, m_notice);
}

BOOL CPasswordInputDlg::OnInitDialog()
{
    CInputPromptDlg::OnInitDialog();
    if (!m_offerToRemember)
        ::ShowWindow(GetDlgItem(IDC_REMEMBER_PASSWORD), SW_HIDE);
    if (!m_notice.empty())
        AddNoticeRow();
    return TRUE;
}

void CPasswordInputDlg::AddNoticeRow()
{
    // One line of text and the gap below it, in dialog units.
    RECT row{0, 0, 0, 12};
    ::MapDialogRect(m_hwnd, &row);
    for (int id : {IDC_INPUT_TEXT, IDC_REMEMBER_PASSWORD, IDOK, IDCANCEL}) {
        const HWND control = GetDlgItem(id);
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(HWND_DESKTOP, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
        ::SetWindowPos(control, nullptr, rect.left, rect.top + row.bottom, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT outer{};
    ::GetWindowRect(m_hwnd, &outer);
    ::SetWindowPos(m_hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + row.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(GetDlgItem(IDC_PASSWORD_NOTICE), SW_SHOW);
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
