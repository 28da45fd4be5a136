// At start: the catalogue that Windows redirected to the user's VirtualStore,
// offered when it is newer than the one here, once per copy.
#pragma once

#include "app/CatalogueSession.h"

#include <windows.h>

// Yes: the copy's catalogue goes into hosts and options and is saved over the
// file here, the old one kept as its backup. No: remembered under
// HKCU\Software\Quillbank and not asked again until the copy changes.
void offerVirtualStoreCopy(HWND owner, qb::CatalogueSession& session, qb::HostCatalogue& hosts, qb::AppOptions& options,
                           qb::CatalogueWindow& window);
