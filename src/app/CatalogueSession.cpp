#include "app/CatalogueSession.h"

#include "catalogue/CatalogueMerge.h"

#include <utility>

namespace qb {

namespace {

CatalogueVersion parsedVersion(const std::string& bytes, bool cut)
{
    CatalogueVersion version;
    NoCatalogueWindow nowhere;
    parseCatalogue(bytes, version.hosts, version.options, nowhere, cut);
    return version;
}

}  // namespace

const char* const kCloseAnywayQuestion = "Close Quillbank and lose the changes made since the last save?";

CatalogueSession::CatalogueSession(FileStore& files, std::string path) : m_files(files), m_path(std::move(path))
{}

ReadStatus CatalogueSession::load(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                                  const SaveReport& report)
{
    std::string error;
    auto lock = m_files.lock(m_path, FileStore::LockMode::Shared, error);
    FileReadResult file;
    if (lock)
        file = m_files.readAll(m_path);
    else
        file.error = error;
    if (file.opened)
        parseCatalogue(file.bytes, hosts, options, window, file.readError);
    m_baseBytes = std::move(file.bytes);
    m_baseCut = file.readError;
    m_baseWhole = !file.failed();
    m_baseFound = !file.missing;
    if (!file.failed()) {
        if (file.opened && !m_files.writable(m_path, error) && report)
            report(fileNamePart(m_path) + " cannot be written: " + error +
                   "\nChanges made now will not be saved until it can be written.");
        return std::move(static_cast<ReadStatus&>(file));
    }
    m_refusal = "Unable to read " + fileNamePart(m_path) + ": " + file.error +
                "\nChanges made now will not be saved. Start Quillbank again when the file can be read.";
    if (report)
        report(m_refusal);
    return std::move(static_cast<ReadStatus&>(file));
}

void CatalogueSession::takeAsBase(std::string bytes)
{
    m_baseBytes = std::move(bytes);
    m_baseCut = false;
    m_baseWhole = true;
    m_baseFound = true;
    m_refusal.clear();
}

bool CatalogueSession::sameAsBase(const std::string& bytes, int32_t x, int32_t y) const
{
    // A file that was not there is made at the first save, even unchanged.
    return m_baseFound && holdsSameCatalogue(m_baseBytes, bytes, x, y, m_baseCut);
}

bool CatalogueSession::changedSinceBase(const FileReadResult& disk) const
{
    // A file gone since is taken as unchanged rather than as everything
    // deleted: the save puts this program's catalogue back.
    if (!disk.opened)
        return false;
    return !m_baseWhole || disk.bytes != m_baseBytes;
}

void CatalogueSession::mergeFromDisk(const std::string& theirs, HostCatalogue& hosts, AppOptions& options,
                                     CatalogueWindow& window, const SaveReport& report)
{
    CatalogueVersion mine;
    window.currentTopLeft(mine.x, mine.y);
    mine.hosts = std::move(hosts);
    mine.options = options;
    CatalogueMergeResult result =
        mergeCatalogues(parsedVersion(m_baseBytes, m_baseCut), mine, parsedVersion(theirs, false));
    hosts = std::move(result.merged.hosts);
    // The position is this window's, wherever the file says another one is.
    result.merged.options.windowX = options.windowX;
    result.merged.options.windowY = options.windowY;
    options = std::move(result.merged.options);
    if (!result.conflicts.empty() && report)
        report(mergeConflictMessage(result.conflicts));
}

std::string closeAnywayQuestion(const SaveOutcome& outcome)
{
    return outcome.saved ? std::string() : outcome.failure + "\n" + kCloseAnywayQuestion;
}

SaveOutcome CatalogueSession::save(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                                   const SaveReport& report)
{
    SaveOutcome outcome = saveBeforeClose(hosts, options, window, report);
    if (!outcome.saved && report)
        report(outcome.failure);
    return outcome;
}

SaveOutcome CatalogueSession::saveBeforeClose(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                                              const SaveReport& report)
{
    SaveOutcome outcome;
    auto fail = [&](std::string message) {
        outcome.failure = std::move(message);
        return outcome;
    };
    int32_t x = 0;
    int32_t y = 0;
    window.currentTopLeft(x, y);
    std::string bytes = formatCatalogue(hosts, options, x, y);
    // Nothing of this program's to write; what others saved meanwhile is
    // the refresh's to bring in.
    if (sameAsBase(bytes, x, y)) {
        outcome.saved = true;
        return outcome;
    }
    std::string error;
    auto lock = m_files.lock(m_path, FileStore::LockMode::Exclusive, error);
    if (!lock)
        return fail(saveFailureMessage(m_path, error));
    // Only a save holds the exclusive lock, so no other save is writing
    // one of these now.
    m_files.removeLeftovers(m_path);

    FileReadResult disk = m_files.readAll(m_path);
    if (disk.failed())
        return fail(savesRefused() ? m_refusal : saveFailureMessage(m_path, disk.error));
    if (changedSinceBase(disk)) {
        mergeFromDisk(disk.bytes, hosts, options, window, report);
        outcome.changed = true;
        // Should the write fail, memory holds the merge and theirs is the base.
        takeAsBase(disk.bytes);
        bytes = formatCatalogue(hosts, options, x, y);
    }

    if (disk.opened && holdsSameCatalogue(disk.bytes, bytes, x, y)) {
        takeAsBase(std::move(disk.bytes));
        outcome.saved = true;
        return outcome;
    }
    std::string backupError;
    if (!m_files.replaceKeepingBackup(m_path, bytes, error, backupError))
        return fail(saveFailureMessage(m_path, error));
    takeAsBase(std::move(bytes));
    if (!backupError.empty() && !m_backupFailureTold && report) {
        report(backupFailureMessage(m_path, backupError));
        m_backupFailureTold = true;
    }
    outcome.saved = true;
    return outcome;
}

SaveOutcome CatalogueSession::takeOver(std::string_view bytes, HostCatalogue& hosts, AppOptions& options,
                                       CatalogueWindow& window, const SaveReport& report)
{
    HostCatalogue taken;
    AppOptions takenOptions;
    parseCatalogue(bytes, taken, takenOptions, window);
    hosts = std::move(taken);
    options = std::move(takenOptions);
    return save(hosts, options, window, report);
}

bool CatalogueSession::refresh(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                               const SaveReport& report)
{
    std::string error;
    auto lock = m_files.lock(m_path, FileStore::LockMode::Shared, error);
    if (!lock)
        return false;
    FileReadResult disk = m_files.readAll(m_path);
    lock.reset();
    if (!disk.whole() || !changedSinceBase(disk))
        return false;
    mergeFromDisk(disk.bytes, hosts, options, window, report);
    takeAsBase(std::move(disk.bytes));
    return true;
}

}  // namespace qb
