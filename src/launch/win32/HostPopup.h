// A host's menu, built as data by the launch logic, made into a real popup.
#pragma once

#include <windows.h>

#include "launch/HostMenu.h"
#include "win/Menu.h"

// String items with their command ids (checked when bold, which the icon
// menu draws as bold type), separators, and one sub-menu per template,
// appended with its label and owned by the returned popup.
win::PopupMenu createHostPopup(const qb::HostMenu& menu);

// Writes the image index of every id the build gave out into the icon
// menu's command-image table; other records keep what they had.
void storeCommandImages(const qb::HostMenu& menu, const qb::CommandImages& images);

// The flags the host menu is tracked with: at the cursor, and without
// TPM_NONOTIFY so that the owner converts and draws its items.
constexpr UINT kHostMenuTrackFlags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD;
