// The catalogue file as one run of the program sees it: read once at start,
// written after each change. A file that exists but could not be read whole
// is never written by this run: what was read is only part of it, and saving
// that would throw the rest away.
#pragma once

#include "catalogue/CatalogueFile.h"

#include <string>

namespace qb {

class CatalogueSession
{
public:
    explicit CatalogueSession(FileStore& files, std::string path = kCatalogueFileName);

    // Loads into the empty catalogue and options. After a failed read every
    // later save is refused; the reason is reported once here.
    ReadStatus load(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window, const SaveReport& report);

    // Writes the whole file, or reports why it did not; false when nothing
    // was written.
    bool save(const HostCatalogue& hosts, const AppOptions& options, CatalogueWindow& window, const SaveReport& report);

    bool savesRefused() const { return !m_refusal.empty(); }
    // The store the catalogue goes through, for other files the window reads.
    FileStore& files() const { return m_files; }

private:
    FileStore& m_files;
    std::string m_path;
    std::string m_refusal;  // empty: saves go ahead
};

}  // namespace qb
