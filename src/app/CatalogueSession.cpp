#include "app/CatalogueSession.h"

#include <utility>

namespace qb {

CatalogueSession::CatalogueSession(FileStore& files, std::string path) : m_files(files), m_path(std::move(path))
{}

ReadStatus CatalogueSession::load(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                                  const SaveReport& report)
{
    ReadStatus status = loadCatalogue(hosts, options, window, m_files, m_path);
    if (!status.failed())
        return status;
    const size_t slash = m_path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
    m_refusal = "Unable to read " + name + ": " + status.error +
                "\nChanges made now will not be saved. Start Quillbank again when the file can be read.";
    if (report)
        report(m_refusal);
    return status;
}

bool CatalogueSession::save(const HostCatalogue& hosts, const AppOptions& options, CatalogueWindow& window,
                            const SaveReport& report)
{
    if (savesRefused()) {
        if (report)
            report(m_refusal);
        return false;
    }
    return saveCatalogue(hosts, options, window, report, m_files, m_path);
}

}  // namespace qb
