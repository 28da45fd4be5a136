// The system's common dialogs, as the program uses them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace win {

// A message box captioned with the executable's name (executableName).
// `owner` null: the thread's active window owns it (none if there is none).
// Returns the button pressed (IDOK ...), 0 on failure.
int showMessage(const std::string& text, UINT type = MB_OK, HWND owner = nullptr);

// The colour chooser, opened fully (custom colours shown), any colour
// allowed, starting at `initial`. The chosen colour, or nothing on Cancel.
std::optional<COLORREF> chooseColour(HWND owner, COLORREF initial);

// The open dialog for an existing file. filter is the dialog's list of
// "name\0pattern\0" pairs (ending in "\0"). The chosen path, or nothing on
// Cancel.
std::optional<std::string> chooseOpenFile(HWND owner, const std::string& filter);

}  // namespace win
