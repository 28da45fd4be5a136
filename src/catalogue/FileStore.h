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
    // owner that cannot be given, more than one hard link), path is rewritten
    // in place and its old bytes written back if a write fails. A read-only
    // file is refused. On failure path is unchanged, the temporary file is
    // gone, and error holds the platform's description.
    virtual bool replaceAll(const std::string& path, std::string_view bytes, std::string& error) = 0;

    // As replaceAll, and once the new file is in place the old one is kept
    // beside it, named as it with kBackupSuffix after, with the same owner,
    // permissions and attributes (one generation). Where that cannot be done
    // (the in-place rewrite) the save goes on without it; a failed save
    // leaves both files as they were.
    virtual bool replaceKeepingBackup(const std::string& path, std::string_view bytes, std::string& error)
    {
        return replaceAll(path, bytes, error);
    }

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
    // file, path with kLockSuffix after (created when missing, never renamed
    // or removed), or of path itself where the lock file cannot be made. A
    // lock another program holds is waited for a little; then nullptr and
    // error. With no file to lock at all (a folder that may only be read, no
    // catalogue in it) the lock is given unlocked: a read must not fail for
    // it, and a save fails by itself with the real reason.
    virtual std::unique_ptr<Lock> lock(const std::string& path, LockMode mode, std::string& error)
    {
        (void)path, (void)mode, (void)error;
        return std::make_unique<Lock>();
    }

    // Removes the temporary files that saves of path killed part way left
    // behind. Only safe while holding path's exclusive lock.
    virtual void removeLeftovers(const std::string& path) { (void)path; }
};

constexpr const char* kBackupSuffix = ".bak";
constexpr const char* kLockSuffix = ".lock";
// The byte the locks are taken on: far past the end of any catalogue, so that
// a lock on the catalogue itself never keeps a reader from its bytes.
constexpr long long kLockOffset = 0x7FFFFFF0;

// A lock another program holds is tried again this often, this far apart:
// about three seconds, long enough for another program's save of a large
// catalogue, short enough for a user waiting on it.
constexpr int kLockAttempts = 60;
constexpr int kLockPauseMs = 50;

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

// The real file system of the platform the program runs on.
FileStore& platformFileStore();

}  // namespace qb
