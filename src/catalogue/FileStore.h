// The file system as the catalogue needs it: read a whole file (a regular
// file only), and replace a whole file so that a failure never leaves a
// half-written catalogue.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace qb {

// How a read went. Only a missing file is not an error: a file that exists
// but cannot be read, or whose read stops part way, must never be written
// over by what was (not) read.
struct ReadStatus {
    bool opened = false;     // false: missing, locked or unreadable
    bool missing = false;    // not opened because there is no such file
    bool readError = false;  // the read stopped part way; the bytes end there
    std::string error;       // the platform's description of what failed
    // Read from start to end.
    bool whole() const { return opened && !readError; }
    // The file is there but could not be read whole.
    bool failed() const { return !missing && !whole(); }
};

struct FileReadResult : ReadStatus {
    std::string bytes;
};

// Bytes handed over a piece at a time, in order, as they are made, so that a
// large catalogue is written or compared without ever being held whole.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    // The next piece, valid until the next call; empty only after the last.
    virtual std::string_view next() = 0;
};

// Bytes already held whole, as one piece.
class WholeBytes final : public ByteSource
{
public:
    explicit WholeBytes(std::string_view bytes) : m_bytes(bytes) {}
    std::string_view next() override { return std::exchange(m_bytes, std::string_view()); }

private:
    std::string_view m_bytes;
};

// Whether two sources hand over the same bytes, however they cut them; reads
// each only as far as the first difference.
bool sameBytes(ByteSource& a, ByteSource& b);
bool sameBytes(ByteSource& source, std::string_view bytes);
// All that is left of source, in one string.
std::string allBytes(ByteSource& source);

class FileStore
{
public:
    virtual ~FileStore() = default;
    virtual FileReadResult readAll(const std::string& path) = 0;
    // Hands the file's bytes to sink piece by piece, in order. Stores that
    // cannot do better hand over readAll's bytes in one piece.
    virtual ReadStatus readChunks(const std::string& path, const std::function<void(std::string_view)>& sink)
    {
        FileReadResult file = readAll(path);
        if (file.opened && !file.bytes.empty())
            sink(file.bytes);
        return std::move(static_cast<ReadStatus&>(file));
    }
    // Writes bytes to a temporary file beside path, flushes it to disk and
    // puts it in place of path in one step, keeping what the old file was
    // (owner, permissions, attributes; a link to it stays a link). Where a
    // replace cannot keep that (POSIX: a folder that may not be written, an
    // owner that cannot be given, another name of the file that is not one
    // of our temporary names), path is rewritten in place and its old bytes
    // written back if a write fails. A read-only file is refused. On failure
    // path is unchanged, the temporary file is gone, and error holds the
    // platform's description.
    bool replaceAll(const std::string& path, ByteSource& bytes, std::string& error)
    {
        std::string noBackup;
        return replace(path, bytes, false, error, noBackup);
    }
    bool replaceAll(const std::string& path, std::string_view bytes, std::string& error)
    {
        WholeBytes whole(bytes);
        return replaceAll(path, whole, error);
    }

    // As replaceAll, and the old file is kept beside the new one, named as it
    // with kBackupSuffix after, with the same owner, permissions and
    // attributes where they can be given (one generation). A save that
    // succeeds without keeping it says why in backupError (left empty
    // otherwise); a failed save leaves both files as they were.
    bool replaceKeepingBackup(const std::string& path, ByteSource& bytes, std::string& error, std::string& backupError)
    {
        return replace(path, bytes, true, error, backupError);
    }
    bool replaceKeepingBackup(const std::string& path, std::string_view bytes, std::string& error,
                              std::string& backupError)
    {
        WholeBytes whole(bytes);
        return replaceKeepingBackup(path, whole, error, backupError);
    }

    // Whether a save could write the existing file at path, as far as can
    // be told without writing: false, with the platform's reason, for a
    // file the save would refuse or fail on (read-only, or neither
    // replaceable nor writable in place). A missing file is not judged.
    virtual bool writable(const std::string& path, std::string& error) = 0;

    // Held while a lock is; released when destroyed.
    class Lock
    {
    public:
        virtual ~Lock() = default;
    };
    enum class LockMode {
        Shared,
        Exclusive
    };
    // Locks the catalogue at path against other programs: a byte of the lock
    // file, beside the file that path resolves to (links followed, so that
    // every name of one catalogue shares one lock) and named as it with
    // kLockSuffix after. Only an exclusive lock creates a missing lock file,
    // and it is never renamed or removed. Where the folder may not be
    // written and no lock file exists, the catalogue itself is locked. An
    // exclusive lock never goes ahead without excluding every other saver:
    // a lock file that exists but cannot be opened for locking gives nullptr
    // and an error naming it. A lock another program holds is waited for a
    // little; then nullptr and error. With no file to lock at all (a folder
    // that may only be read, no catalogue in it) the lock is given unlocked:
    // a read must not fail for it, and a save fails by itself with the real
    // reason.
    virtual std::unique_ptr<Lock> lock(const std::string& path, LockMode mode, std::string& error) = 0;

    // Clears up after saves of path killed part way: their temporary files
    // go, and a previous file such a save kept under a temporary name while
    // the new one was already in place becomes the backup. Only safe while
    // holding path's exclusive lock.
    virtual void removeLeftovers(const std::string& path) = 0;

protected:
    // replaceAll, or with keepBackup replaceKeepingBackup; bytes are taken
    // once, as they come.
    virtual bool replace(const std::string& path, ByteSource& bytes, bool keepBackup, std::string& error,
                         std::string& backupError) = 0;
};

constexpr const char* kBackupSuffix = ".bak";
constexpr const char* kLockSuffix = ".lock";
// The byte the locks are taken on: far past the end of any catalogue, so that
// a lock on the catalogue itself never keeps a reader from its bytes.
constexpr long long kLockOffset = 0x7FFFFFF0;

// Every wait for another program is tries kRetryPauseMs apart. A lock it
// holds: about three seconds, long enough for its save of a large catalogue,
// short enough for a user waiting on it. A file it holds open (a reader, an
// editor, a virus scanner) while we read it: about two seconds. The new file
// going in place, under our own exclusive lock, where only a scanner may hold
// the old one for a moment: about 0.4 seconds.
constexpr int kRetryPauseMs = 50;
constexpr int kLockAttempts = 60;
constexpr int kHeldReadAttempts = 40;
constexpr int kHeldMoveAttempts = 8;
// Temporary names tried before a save gives up: a name is only taken by a
// leftover of a killed save whose process had the same id.
constexpr int kTemporaryNameAttempts = 100;

// A lock held while its owner (a descriptor, a handle) stays open.
template <typename Owner>
class LockHeldBy final : public FileStore::Lock
{
public:
    explicit LockHeldBy(Owner owner) : m_owner(std::move(owner)) {}

private:
    Owner m_owner;
};

// The last part of a path, after its last slash or backslash.
std::string fileNamePart(const std::string& path);

// The stores' temporary files: beside the file they stand in for, named
// after it, then ".tmp-", the process id, "-" and a counter of the process.
std::string temporaryName(const std::string& path, unsigned long processId, unsigned counter);
// Whether name (no folder) is such a temporary file's name for fileName.
bool isTemporaryName(const std::string& name, const std::string& fileName);

// What a killed save left beside the catalogue fileName: the temporary files
// of the catalogue, or of its backup (the previous file kept under a
// temporary name until the new one is in place), or nothing of ours.
enum class Leftover {
    None,
    Temporary,
    PendingBackup
};
Leftover leftoverKind(const std::string& name, const std::string& fileName);

// The lock file's error as a save reports it: the cause, then which file.
std::string lockFileError(const std::string& cause, const std::string& lockPath);

// A seam for tests: a save passes named steps, and when the environment
// variable QB_KILL_AT names the step being passed, the process ends there at
// once, as a kill would end it, so that tests can see what each step leaves.
void saveStep(const char* step);

// The real file system of the platform the program runs on. A program's
// main makes one and hands it down: its temporary names count per store.
std::unique_ptr<FileStore> makePlatformFileStore();

}  // namespace qb
