// Whether the texts of a record can be written to the catalogue file and
// read back as they stand: what the editors ask before they accept a text.
#pragma once

#include "catalogue/HostRecords.h"

#include <optional>
#include <string>

namespace qb {

// The first text field of a record, in the order the file writes them,
// that does not read back as written, and why.
template <class Record>
struct UnwritableText {
    std::string Record::*field = nullptr;
    // '<', '>', '\r' or '\n'; 0 for a custom command named "-", which reads
    // back as a separator.
    char character = 0;
};

// The title and the host name.
std::optional<UnwritableText<HostItem>> findUnwritableText(const HostItem& host);
// The texts that the entry's kind writes; the record keeps the other kinds'
// texts, but they never reach the file.
std::optional<UnwritableText<CommandEntry>> findUnwritableText(const CommandEntry& entry);
// The alternate browser's path.
std::optional<UnwritableText<AppOptions>> findUnwritableText(const AppOptions& options);

}  // namespace qb
