// The two prompts that fill in "???" and "***" of a command's parameters.
// Each is shown fresh for one launch and read through m_text after OK.
#pragma once

#include "win/Dialog.h"

#include <string>

// Shared by both prompts: one edit field (1053) exchanged with m_text.
class CInputPromptDlg : public win::Dialog
{
public:
    std::string m_text;

protected:
    // No parent of its own: the dialog base lets the active window own it.
    explicit CInputPromptDlg(UINT templateId);

    void DoDataExchange(win::DataExchange& dx) override;
    // The application icon (128) in the title bar; focus to the edit field.
    BOOL OnInitDialog() override;
};

// "User Input" (dialog 135).
class CUserInputDlg : public CInputPromptDlg
{
public:
    CUserInputDlg();
};

// "Password Input" (dialog 137): the field masks what is typed. The typed
// text is overwritten in the field once read, and m_text's bytes are
// overwritten before it is freed, so the password does not linger in memory.
// For a password that may be remembered, the check box below the field
// (m_remember) and, when m_notice is set, one line above it, for which the
// dialog grows by a row.
class CPasswordInputDlg : public CInputPromptDlg
{
public:
    CPasswordInputDlg();
    ~CPasswordInputDlg() override;

    bool m_offerToRemember = false;
    bool m_remember = false;
    std::string m_notice;

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void WipeField();
    void AddNoticeRow();
};
