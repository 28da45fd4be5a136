// The Options dialog: the taskbar flag, the remote desktop size, the
// alternate browser and the user's hotkey, exchanged as one form that the
// caller sets before and reads after OK.
#pragma once

#include "editors/OptionsValues.h"
#include "win/Dialog.h"

#include <functional>
#include <optional>
#include <string>

class COptionsDlg : public win::Dialog
{
public:
    explicit COptionsDlg(HWND parent = nullptr);

    qb::OptionsForm m_form;
    // Takes the hotkey at OK, when everything else is accepted; the words
    // that refuse it keep the dialog open. None: taken as it is.
    std::function<std::optional<std::string>(uint32_t hotkey)> m_takeHotkey;

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override;
};
