#include "app/CatalogueSession.h"

#include "catalogue/CatalogueMerge.h"

#include <utility>

namespace qb {

namespace {

CatalogueVersion parsedVersion(const std::string& bytes)
{
    CatalogueVersion version;
    NoCatalogueWindow nowhere;
    parseCatalogue(bytes, version.hosts, version.options, nowhere);
    return version;
}

// The options line that formatCatalogue writes first.
std::string optionsLine(const AppOptions& options, int32_t x, int32_t y)
{
    return formatCatalogue({}, options, x, y);
}

// Whether options, written with the window at x, y, make the options line
// of base (whose position, where it has none, stands for any).
bool sameOptionsLine(const AppOptions& base, const AppOptions& options, int32_t x, int32_t y)
{
    return optionsLine(base, base.windowX.value_or(x), base.windowY.value_or(y)) == optionsLine(options, x, y);
}

}  // namespace

FileReadResult readLocked(FileStore& files, const std::string& path)
{
    std::string error;
    auto lock = files.lock(path, FileStore::LockMode::Shared, error);
    if (lock)
        return files.readAll(path);
    FileReadResult failed;
    failed.error = error;
    return failed;
}

const ReadStatus& LockedFile::status()
{
    if (m_whole)
        return *m_whole;
    if (!m_read) {
        Hasher hasher;
        m_read = m_files.readChunks(m_path, [&](std::string_view piece) { hasher.add(piece); });
        m_digest = hasher.finish();
    }
    return *m_read;
}

const Digest& LockedFile::digest()
{
    status();
    return m_digest;
}

FileReadResult& LockedFile::readWhole()
{
    if (!m_whole) {
        m_whole = m_files.readAll(m_path);
        m_digest = digestOfBytes(m_whole->bytes);
    }
    return *m_whole;
}

LockedSave saveLocked(FileStore& files, const std::string& path,
                      const std::function<ByteSource*(LockedFile& disk)>& decide)
{
    LockedSave save;
    auto lock = files.lock(path, FileStore::LockMode::Exclusive, save.error);
    if (!lock) {
        save.ok = false;
        return save;
    }
    // Only a save holds the exclusive lock, so no other save is writing one
    // of these now.
    files.removeLeftovers(path);
    LockedFile disk(files, path);
    ByteSource* bytes = decide(disk);
    if (!bytes)
        return save;
    save.ok = files.replaceKeepingBackup(path, *bytes, save.error, save.backupError);
    save.written = save.ok;
    return save;
}

const char* const kCloseAnywayQuestion = "Close Quillbank and lose the changes made since the last save?";

CatalogueSession::CatalogueSession(FileStore& files, std::string path) : m_files(files), m_path(std::move(path))
{}

ReadStatus CatalogueSession::load(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                                  const SaveReport& report)
{
    FileReadResult file = readLocked(m_files, m_path);
    if (file.opened)
        parseCatalogue(file.bytes, hosts, options, window, file.readError);
    m_base = baseOf(hosts, options);
    m_baseBytes = digestOfBytes(file.bytes);
    m_baseWhole = !file.failed();
    m_baseFound = !file.missing;
    if (!file.failed()) {
        std::string error;
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

void CatalogueSession::takeAsBase(CatalogueBase base, const Digest& bytes)
{
    m_base = std::move(base);
    m_baseBytes = bytes;
    m_baseWhole = true;
    m_baseFound = true;
    m_refusal.clear();
}

void CatalogueSession::takeAsBase(const std::string& bytes)
{
    CatalogueVersion read = parsedVersion(bytes);
    takeAsBase(baseOf(read.hosts, read.options), digestOfBytes(bytes));
}

bool CatalogueSession::sameAsBase(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y,
                                  const CatalogueBase& written) const
{
    // A file that was not there is made at the first save, even unchanged.
    if (!m_baseFound)
        return false;
    // Hosts that read back otherwise than the file's did are not in its
    // bytes either.
    if (written.hosts != m_base.hosts)
        return false;
    if (sameOptionsLine(m_base.options, options, x, y))
        return true;
    const AppOptions& base = m_base.options;
    // Options written otherwise than the file holds them may still read
    // back as its own (a value the line cannot hold as it is): then only
    // the bytes can tell, made and digested a piece at a time.
    if (!m_baseWhole || !sameFields(written.options, base))
        return false;
    CatalogueFormatter bytes(hosts, options, x, y);
    return digestOfBytes(bytes) == m_baseBytes;
}

bool CatalogueSession::changedSinceBase(const ReadStatus& disk, const Digest& bytes) const
{
    // A file gone since is taken as unchanged rather than as everything
    // deleted: the save puts this program's catalogue back.
    if (!disk.opened)
        return false;
    return !m_baseWhole || bytes != m_baseBytes;
}

void CatalogueSession::mergeFromDisk(const std::string& theirs, HostCatalogue& hosts, AppOptions& options,
                                     CatalogueWindow& window, const SaveReport& report)
{
    CatalogueVersion mine;
    window.currentTopLeft(mine.x, mine.y);
    mine.hosts = std::move(hosts);
    mine.options = options;
    CatalogueVersion disk = parsedVersion(theirs);
    CatalogueMergeResult result = mergeCatalogues(m_base, mine, disk);
    // Should a write after this fail, memory holds the merge and theirs is the base.
    takeAsBase(baseOf(disk.hosts, disk.options), digestOfBytes(theirs));
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
    CatalogueBase written = baseAsWritten(hosts, options, x, y);
    // Nothing of this program's to write; what others saved meanwhile is
    // the refresh's to bring in.
    if (sameAsBase(hosts, options, x, y, written)) {
        outcome.saved = true;
        return outcome;
    }
    std::string refusal;
    std::optional<CatalogueFormatter> formatted;
    std::optional<DigestingSource> bytes;
    const LockedSave save = saveLocked(m_files, m_path, [&](LockedFile& disk) -> ByteSource* {
        // The file as last read or written, beginning with another options
        // line than these bytes would, cannot hold the same: reading all of
        // it again to say so costs a large catalogue seconds.
        const bool sameLine = sameOptionsLine(m_base.options, options, x, y);
        // Only a merge or that comparison needs the bytes; what they say
        // then decides, were they changed since the digest was taken.
        if (disk.status().whole() && (sameLine || changedSinceBase(disk.status(), disk.digest())))
            disk.readWhole();
        if (disk.status().failed()) {
            refusal = savesRefused() ? m_refusal : saveFailureMessage(m_path, disk.status().error);
            return nullptr;
        }
        const bool changed = changedSinceBase(disk.status(), disk.digest());
        if (changed) {
            mergeFromDisk(disk.readWhole().bytes, hosts, options, window, report);
            outcome.changed = true;
        }
        if (disk.status().opened && (changed || sameLine) &&
            holdsSameCatalogue(disk.readWhole().bytes, hosts, options, x, y)) {
            takeAsBase(disk.readWhole().bytes);
            return nullptr;
        }
        return &bytes.emplace(formatted.emplace(hosts, options, x, y));
    });
    if (!save.ok)
        return fail(saveFailureMessage(m_path, save.error));
    if (!refusal.empty())
        return fail(std::move(refusal));
    if (save.written)
        takeAsBase(outcome.changed ? baseAsWritten(hosts, options, x, y) : std::move(written), bytes->digest());
    if (!save.backupError.empty() && !m_backupFailureTold && report) {
        report(backupFailureMessage(m_path, save.backupError));
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
    FileReadResult disk = readLocked(m_files, m_path);
    if (!disk.whole() || !changedSinceBase(disk, digestOfBytes(disk.bytes)))
        return false;
    mergeFromDisk(disk.bytes, hosts, options, window, report);
    return true;
}

}  // namespace qb
