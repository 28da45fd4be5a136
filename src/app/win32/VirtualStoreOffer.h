// At start: the catalogue that Windows redirected to the user's VirtualStore,
// as this machine shows it. Whether to offer it, and what an answer does, is
// the session's.
#pragma once

#include "app/VirtualStore.h"

#include <optional>
#include <string>

// What the file system says of a file now (nothing of a folder).
qb::FileStamp fileStamp(const std::string& path);

// The copy of the working folder's catalogue, when there is one: nothing for
// a folder Windows does not redirect (a network drive, a UNC path).
std::optional<qb::VirtualStoreCopy> findVirtualStoreCopy();
