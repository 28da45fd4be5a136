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

std::optional<std::string> DialogLaunchPrompts::askPassword()
{
    CPasswordInputDlg dialog;
    if (dialog.DoModal() != IDOK)
        return std::nullopt;
    // A short text lives inside the string object and is copied by the move;
    // the dialog's destructor wipes what is left behind.
    std::optional<std::string> typed(std::move(dialog.m_text));
    return typed;
}
