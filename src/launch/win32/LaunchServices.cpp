#include "launch/win32/LaunchServices.h"

#include "launch/win32/InputDialogs.h"
#include "win/CommonDialogs.h"

bool DialogLaunchPrompts::confirmRun(const std::string& text)
{
    // Yes is the first button and so the default; no icon.
    return win::showMessage(text, MB_YESNO, m_mainWindow) == IDYES;
}

std::optional<std::string> DialogLaunchPrompts::askUserInput()
{
    CUserInputDlg dialog;
    if (dialog.DoModal() != IDOK)
        return std::nullopt;
    return std::move(dialog.m_text);
}

bool DialogLaunchPrompts::askPassword(const qb::PasswordPrompt& prompt, qb::PasswordAnswer& answer)
{
    CPasswordInputDlg dialog;
    dialog.m_offerToRemember = prompt.offerToRemember;
    dialog.m_remember = prompt.rememberChecked;
    dialog.m_notice = prompt.notice;
    if (dialog.DoModal() != IDOK)
        return false;
    // Copied, not moved: the dialog's destructor wipes its own buffer.
    answer.text.assign(dialog.m_text);
    answer.remember = dialog.m_offerToRemember && dialog.m_remember;
    return true;
}
