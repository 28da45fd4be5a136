// The catalogue file as one run of the program sees it, shared with other
// programs that may change it at any time. The session keeps what it last
// read or wrote (the base) as digests of the bytes and of each host, and the
// options; a save finds what others changed since and
// merges it with this program's catalogue before it writes, and a refresh
// merges it into memory. A save writes only when this program's catalogue
// differs from what the file last held, so lines the reader ignores stay
// until something really changes. A file that exists but could not be read
// whole is never written over: it is read again at each save until it reads
// whole.
#pragma once

#include "catalogue/CatalogueDigest.h"
#include "catalogue/CatalogueFile.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qb {

// The catalogue's protocol, spelt once for the window and the console
// companion.
//
// A read: the whole file under the shared lock, so that no save is half
// done under it. A lock not had is a failed read, with the lock's error.
FileReadResult readLocked(FileStore& files, const std::string& path);

// The file as a save finds it under the lock. It is read whole only when
// asked for: holding a large catalogue whole costs seconds under Wine, and
// a file as last seen needs only its digest.
class LockedFile
{
public:
    LockedFile(FileStore& files, const std::string& path) : m_files(files), m_path(path) {}
    // How the last read went and the digest of what it read: the whole read
    // once there was one, else a read in pieces.
    const ReadStatus& status();
    const Digest& digest();
    // The file read whole, at the first call.
    FileReadResult& readWhole();

private:
    FileStore& m_files;
    const std::string& m_path;
    std::optional<FileReadResult> m_whole;
    std::optional<ReadStatus> m_read;
    Digest m_digest;
};

// A save: under the exclusive lock, what killed saves left is cleared, and
// `decide` given the file; the bytes it hands back replace the file as they
// come, the previous one kept as the backup (nullptr: nothing to write,
// which decide may also say for a read it refuses). The source is the
// caller's, alive until this returns.
struct LockedSave {
    bool ok = true;           // false: the lock or the write failed
    bool written = false;     // the file now holds decide's bytes
    std::string error;        // why it failed, the platform's words
    std::string backupError;  // written without keeping the backup: why
};
LockedSave saveLocked(FileStore& files, const std::string& path,
                      const std::function<ByteSource*(LockedFile& disk)>& decide);

struct SaveOutcome {
    bool saved = false;    // nothing of this program's is left unsaved
    bool changed = false;  // another program's changes were merged into the catalogue
    std::string failure;   // why it was not saved, in the words the user is shown
};

// What a close request asks before the window closes after its save: nothing
// (empty) when it was saved; else the save's message, a line break and
// kCloseAnywayQuestion, since closing loses the changes since the last save.
extern const char* const kCloseAnywayQuestion;
std::string closeAnywayQuestion(const SaveOutcome& outcome);

class CatalogueSession
{
public:
    explicit CatalogueSession(FileStore& files, std::string path = kCatalogueFileName);

    // Loads into the empty catalogue and options. After a failed read the
    // reason is reported once here, and saves are refused until the file
    // reads whole again. A file that reads but cannot be written is said
    // once here too; its saves are tried all the same.
    ReadStatus load(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window, const SaveReport& report);

    // Nothing when hosts, options and the window's position are what the
    // file last held. Otherwise, under the file's exclusive lock: removes
    // what killed saves left, merges what others changed since the base into
    // hosts and options, then writes them unless the file already holds
    // them; the previous file is kept as the backup. Failures, merge
    // conflicts and (once) a backup that could not be kept are reported.
    SaveOutcome save(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window, const SaveReport& report);

    // The save of a close request: as save, but a failure is left to the
    // question closeAnywayQuestion makes of it.
    SaveOutcome saveBeforeClose(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                                const SaveReport& report);

    // Under the shared lock: merges another program's change of the file
    // into hosts and options without writing; what was read becomes the
    // base. True when the file had changed. A file that cannot be read now
    // is left for the next try, silently.
    bool refresh(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window, const SaveReport& report);

    // Puts the catalogue in bytes (another copy of the file) in place of
    // hosts and options and saves it over the file. The bytes last read stay
    // the base, so the copy is written rather than merged away; only what
    // another program saved since that read is merged into it.
    SaveOutcome takeOver(std::string_view bytes, HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                         const SaveReport& report);

    bool savesRefused() const { return !m_refusal.empty(); }
    // The store the catalogue goes through, for other files the window reads.
    FileStore& files() const { return m_files; }

private:
    // Merges theirs into hosts and options, and takes theirs as the base;
    // reports conflicts.
    void mergeFromDisk(const std::string& theirs, HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                       const SaveReport& report);
    bool changedSinceBase(const ReadStatus& disk, const Digest& bytes) const;
    // Whether hosts and options, written with the window at x, y, hold what
    // the file last held; written is what such a file reads back as.
    bool sameAsBase(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y,
                    const CatalogueBase& written) const;
    // What this program read or wrote last, whole: the base of the next
    // merge, and the digest of the file's bytes.
    void takeAsBase(CatalogueBase base, const Digest& bytes);
    // The file's bytes, read whole, as the base.
    void takeAsBase(const std::string& bytes);

    FileStore& m_files;
    std::string m_path;
    std::string m_refusal;  // empty: saves go ahead
    // The base. A read that failed part way keeps the hosts read whole, and
    // that the file was never seen whole.
    CatalogueBase m_base;
    Digest m_baseBytes;
    bool m_baseWhole = false;
    bool m_baseFound = false;  // false: there was no such file
    bool m_backupFailureTold = false;
};

}  // namespace qb
