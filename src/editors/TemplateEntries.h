// The ready-made entries that the host editor's "Add Windows Template Items"
// appends for one machine: remote desktop, one share per drive character,
// computer management, reboot and shutdown.
#pragma once

#include "catalogue/HostRecords.h"
#include "launch/WindowsTools.h"

#include <cstdint>
#include <string>

namespace qb {

// Appends the entries to the list: a separator first when the list already
// had entries, then one drive share for every character of drives (commas
// and blanks included: they are not parsed here). host and drives are used
// exactly as typed.
void appendTemplateEntries(EntryList& entries, const std::string& host, const std::string& drives, int32_t rdpWidth,
                           int32_t rdpHeight);

}  // namespace qb
