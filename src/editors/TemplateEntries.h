// The ready-made entries that the host editor's "Add Windows Template Items"
// appends for one machine: remote desktop, one share per drive character,
// computer management, reboot and shutdown.
#pragma once

#include "catalogue/HostRecords.h"

#include <cstdint>
#include <string>

namespace qb {

// Icon indices the program picks by itself for these entries.
constexpr int32_t kIconRemoteDesktop = 17;
constexpr int32_t kIconDriveShare = 72;
constexpr int32_t kIconManage = 7;
constexpr int32_t kIconReboot = 70;
constexpr int32_t kIconShutdown = 71;

// "/v:host", plus " /w:W /h:H" unless the width is -1 (full screen); the
// height alone never means full screen.
std::string remoteDesktopParams(const std::string& host, int32_t rdpWidth, int32_t rdpHeight);

// Appends the entries to the list: a separator first when the list already
// had entries, then one drive share for every character of drives (commas
// and blanks included: they are not parsed here). host and drives are used
// exactly as typed.
void appendTemplateEntries(EntryList& entries, const std::string& host, const std::string& drives,
                           int32_t rdpWidth, int32_t rdpHeight);

}  // namespace qb
