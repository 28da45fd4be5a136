// A host's menu, built as data by the launch logic, made into a real popup.
#pragma once

#include <windows.h>

#include <map>

#include "launch/HostMenu.h"
#include "win/Menu.h"

struct HostPopup {
    win::PopupMenu menu;
    // The picture beside each sub-menu's label that has one, by sub-menu,
    // for the icon menu: the label's string is its text alone.
    std::map<HMENU, int> labelImages;
};

// String items with their command ids (checked when bold, which the icon
// menu draws as bold type), separators, and one sub-menu per template,
// appended with its label and owned by the returned popup.
HostPopup createHostPopup(const qb::HostMenu& menu);

// The image index of every id the build gave out, for the icon menu.
std::map<UINT, int> commandImageMap(const qb::HostMenu& menu, const qb::CommandImages& images);

// The flags the host menu is tracked with: at the cursor, and without
// TPM_NONOTIFY so that the owner converts and draws its items.
constexpr UINT kHostMenuTrackFlags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD;
