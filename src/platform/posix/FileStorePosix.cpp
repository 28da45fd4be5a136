#include "catalogue/FileStore.h"
#include "platform/FileReads.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace qb {

namespace {

// Owns one file descriptor; close() reports what closing said, because a
// delayed write error may only show up there.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(Fd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    bool close()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Not an errno of its own: a FIFO, a device or a socket where a catalogue
// was expected.
constexpr int kNotRegular = -1;

std::string errorText(int code)
{
    if (code == kNotRegular)
        return "Not a regular file";
    return std::strerror(code);
}

template <typename Status>
Status& failedOpen(Status& status, int code)
{
    // Only "no such file" is missing: a link loop or a refused open is an
    // error, and a file that is there must never be replaced unseen.
    status.missing = code == ENOENT;
    status.error = errorText(code);
    return status;
}

bool writeAt(int fd, std::string_view bytes, off_t offset)
{
    while (!bytes.empty()) {
        ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
        offset += written;
    }
    return true;
}

// Writes what source hands over from the start of fd; size: how many bytes
// that was.
bool writeFrom(int fd, ByteSource& source, off_t& size)
{
    size = 0;
    for (std::string_view piece = source.next(); !piece.empty(); piece = source.next()) {
        if (!writeAt(fd, piece, size))
            return false;
        size += static_cast<off_t>(piece.size());
    }
    return true;
}

// Opens a catalogue that must be a regular file (or a link to one).
// O_NONBLOCK keeps a FIFO from hanging the open; anything but a regular file
// is refused before a byte is read, so neither a pipe nor /dev/zero can
// stall or swamp the reader. code: 0, an errno, or kNotRegular.
Fd openRegular(const std::string& path, int access, struct stat& info, int& code)
{
    Fd fd(::open(path.c_str(), access | O_NONBLOCK | O_CLOEXEC));
    code = 0;
    if (!fd.valid())
        code = errno;
    else if (::fstat(fd.get(), &info) != 0)
        code = errno;
    else if (S_ISDIR(info.st_mode))
        code = EISDIR;
    else if (!S_ISREG(info.st_mode))
        code = kNotRegular;
    else {
        int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            code = errno;
    }
    if (code != 0)
        fd.reset(-1);
    return fd;
}

// Reads fd to its end: each read goes to the room that into.room() gives,
// and into.got() is told how much it brought. Returns 0 or the errno that
// stopped the read.
template <typename Into>
int readToEnd(int fd, Into& into)
{
    for (;;) {
        const auto [at, room] = into.room();
        ssize_t got = ::read(fd, at, room);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return 0;
        into.got(static_cast<size_t>(got));
    }
}

// fd read whole into bytes; 0 or the errno that stopped the read.
size_t sizeOf(const struct stat& info)
{
    return info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0;
}

int readWhole(int fd, const struct stat& info, std::string& bytes)
{
    ReadIntoString into(bytes, sizeOf(info));
    const int failure = readToEnd(fd, into);
    into.done();
    return failure;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save must replace: path with every symbolic link on its last
// component followed, so that the link stays and its target gets the new
// text. A link that leads nowhere yet gives the name it leads to.
bool followLinks(std::string path, std::string& target, int& code)
{
    constexpr int kMaxLinks = 40;  // as the kernel counts before ELOOP
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = path;
            return true;
        }
        std::string link(static_cast<size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
        ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0) {
            code = errno;
            return false;
        }
        link.resize(static_cast<size_t>(length));
        path = link.empty() || link[0] == '/' ? link : folderOf(path) + "/" + link;
    }
    code = ELOOP;
    return false;
}

// A save is reported done only once the folder's entry for the new file is
// on disk too. File systems that cannot flush a folder say EINVAL.
int flushFolder(const std::string& path)
{
    Fd folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        return errno;
    if (::fsync(folder.get()) != 0 && errno != EINVAL)
        return errno;
    return 0;
}

// The name every path to one catalogue shares: links on its last part
// followed, and its folder's path made absolute and free of links. A folder
// that cannot be resolved leaves the path as the links gave it.
std::string resolvedPath(const std::string& path)
{
    std::string target;
    int code = 0;
    if (!followLinks(path, target, code))
        return path;
    char* folder = ::realpath(folderOf(target).c_str(), nullptr);
    if (!folder)
        return target;
    std::string resolved = folder;
    std::free(folder);
    return (resolved == "/" ? "" : resolved) + "/" + fileNamePart(target);
}

// Byte-range locks of the open file description: they see the classic
// fcntl locks that Wine takes for LockFileEx, and closing another descriptor
// of the same file (a read of the catalogue) does not drop them.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

// Locks the one byte at kLockOffset, trying again while another holds it.
bool lockByte(int fd, bool exclusive, int& code)
{
    struct flock range {};
    range.l_type = exclusive ? F_WRLCK : F_RDLCK;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(kLockOffset);
    range.l_len = 1;
    for (int attempt = 0;; ++attempt) {
        if (::fcntl(fd, kSetLock, &range) == 0)
            return true;
        code = errno;
        if (code == EINTR)
            continue;
        if ((code != EAGAIN && code != EACCES) || attempt + 1 >= kLockAttempts)
            return false;
        const struct timespec pause = {0, kRetryPauseMs * 1000L * 1000L};
        ::nanosleep(&pause, nullptr);
    }
}

// What a save locks for an exclusive lock: the lock file, made as writable as
// the catalogue is so that everyone who may save may lock, or the catalogue
// itself where the folder allows no lock file. code: an errno when the lock
// file is there but cannot be opened for writing, which alone locks it
// against others.
Fd openForExclusiveLock(const std::string& catalogue, const std::string& lockPath, int& code)
{
    code = 0;
    Fd fd(::open(lockPath.c_str(), O_RDWR | O_CLOEXEC));
    if (fd.valid() || errno != ENOENT) {
        if (!fd.valid())
            code = errno;
        return fd;
    }
    fd.reset(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.valid()) {
        struct stat info {};
        if (::stat(catalogue.c_str(), &info) == 0)
            ::fchmod(fd.get(), info.st_mode & 0666);
        return fd;
    }
    // Another save made it just now.
    if (errno == EEXIST) {
        fd.reset(::open(lockPath.c_str(), O_RDWR | O_CLOEXEC));
        if (!fd.valid())
            code = errno;
        return fd;
    }
    if (errno != EACCES && errno != EPERM && errno != EROFS)
        return fd;
    return Fd(::open(catalogue.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
}

// Whether two regular files hold the same bytes (or are one file).
bool sameContent(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0)
        return false;
    if (first.st_dev == second.st_dev && first.st_ino == second.st_ino)
        return true;
    if (first.st_size != second.st_size)
        return false;
    std::string bytes[2];
    for (int i = 0; i < 2; ++i) {
        struct stat info {};
        int code = 0;
        Fd fd = openRegular(i == 0 ? a : b, O_RDONLY, info, code);
        if (!fd.valid() || readWhole(fd.get(), info, bytes[i]) != 0)
            return false;
    }
    return bytes[0] == bytes[1];
}

// Why a save may not write the existing file target (0: it may): anything but
// a regular file, and a read-only one. Root may write anything; a file
// without write bits was made read-only on purpose and is refused even so.
int refusalOf(const std::string& target, const struct stat& old)
{
    if (S_ISDIR(old.st_mode))
        return EISDIR;
    if (!S_ISREG(old.st_mode))
        return kNotRegular;
    if ((old.st_mode & 0222) == 0)
        return EACCES;
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

class PosixFileStore final : public FileStore
{
public:
    FileReadResult readAll(const std::string& path) override
    {
        FileReadResult result;
        readInto(path, result,
                 [&result](const struct stat& info) { return ReadIntoString(result.bytes, sizeOf(info)); });
        return result;
    }

    ReadStatus readChunks(const std::string& path, const std::function<void(std::string_view)>& sink) override
    {
        ReadStatus status;
        readInto(path, status, [&sink](const struct stat&) { return ReadInPieces(sink); });
        return status;
    }

    std::unique_ptr<Lock> lock(const std::string& path, LockMode mode, std::string& error) override
    {
        const bool exclusive = mode == LockMode::Exclusive;
        const std::string catalogue = resolvedPath(path);
        const std::string lockPath = catalogue + kLockSuffix;
        int code = 0;
        // A reader makes no lock file: where there is none, no save has used
        // one yet, and the catalogue itself is locked.
        Fd fd = exclusive ? openForExclusiveLock(catalogue, lockPath, code)
                          : Fd(::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC));
        if (code != 0) {
            error = lockFileError(errorText(code), lockPath);
            return nullptr;
        }
        if (!fd.valid() && !exclusive)
            fd.reset(::open(catalogue.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        // Nothing to lock: what is done next fails by itself where it must.
        if (!fd.valid())
            return std::make_unique<Lock>();
        if (!lockByte(fd.get(), exclusive, code)) {
            error = errorText(code);
            return nullptr;
        }
        return std::make_unique<LockHeldBy<Fd>>(std::move(fd));
    }

    void removeLeftovers(const std::string& path) override
    {
        std::string target;
        int code = 0;
        if (!followLinks(path, target, code))
            return;
        const std::string folder = folderOf(target);
        const std::string name = fileNamePart(target);
        DIR* listing = ::opendir(folder.c_str());
        if (!listing)
            return;
        while (const dirent* item = ::readdir(listing)) {
            const std::string found = folder + "/" + item->d_name;
            switch (leftoverKind(item->d_name, name)) {
            case Leftover::None: break;
            case Leftover::Temporary: ::unlink(found.c_str()); break;
            case Leftover::PendingBackup:
                // Killed after the new file went in place: this is the file
                // it replaced, and the backup it was to become.
                if (sameContent(found, target) || ::rename(found.c_str(), (target + kBackupSuffix).c_str()) != 0)
                    ::unlink(found.c_str());
                break;
            }
        }
        ::closedir(listing);
    }

    bool writable(const std::string& path, std::string& error) override
    {
        std::string target;
        int failure = 0;
        struct stat old {};
        if (!followLinks(path, target, failure)) {
            error = errorText(failure);
            return false;
        }
        if (::stat(target.c_str(), &old) != 0)
            failure = errno == ENOENT ? 0 : errno;
        else
            failure = refusalOf(target, old);
        if (failure != 0)
            error = errorText(failure);
        return failure == 0;
    }

private:
    // Opens path as a regular file and reads it to its end into what
    // makeInto gives for it.
    template <typename MakeInto>
    static void readInto(const std::string& path, ReadStatus& status, MakeInto&& makeInto)
    {
        struct stat info {};
        int code = 0;
        Fd fd = openRegular(path, O_RDONLY, info, code);
        if (!fd.valid()) {
            failedOpen(status, code);
            return;
        }
        status.opened = true;
        auto into = makeInto(info);
        if (int failure = readToEnd(fd.get(), into)) {
            status.readError = true;
            status.error = errorText(failure);
        }
        into.done();
    }

    // A new file of ours beside base, named after it: its descriptor, and
    // its name in name. Another process's file of the same name is left be.
    Fd createTemporary(const std::string& base, std::string& name, mode_t mode)
    {
        Fd fd;
        for (int attempt = 0; attempt < kTemporaryNameAttempts && !fd.valid(); ++attempt) {
            name = temporaryName(base, static_cast<unsigned long>(::getpid()), ++m_counter);
            fd.reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
            if (!fd.valid() && errno != EEXIST)
                break;
        }
        return fd;
    }

    // The old file's bytes under a temporary name of the backup, to become
    // the backup once the new file is in place: a second name of the same
    // data where the file system allows, else a copy. Empty, with
    // backupError, when neither can be made.
    std::string keepPrevious(const std::string& target, const struct stat& old, std::string& backupError)
    {
        const std::string backup = target + kBackupSuffix;
        std::string pending;
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            pending = temporaryName(backup, static_cast<unsigned long>(::getpid()), ++m_counter);
            if (::link(target.c_str(), pending.c_str()) == 0)
                return pending;
            if (errno != EEXIST)
                break;
        }
        FileReadResult file = readAll(target);
        if (!file.whole()) {
            backupError = file.error;
            return {};
        }
        return writeCopy(backup, file.bytes, old, backupError);
    }

    // bytes in a new temporary file of backup, with old's permissions (and
    // owner where it can be given), flushed to disk.
    std::string writeCopy(const std::string& backup, std::string_view bytes, const struct stat& old,
                          std::string& backupError)
    {
        std::string pending;
        Fd fd = createTemporary(backup, pending, 0600);
        int failure = fd.valid() ? 0 : errno;
        if (failure == 0) {
            // An owner that is not ours to give: the copy stays the saver's.
            if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0 && errno != EPERM)
                failure = errno;
            else if (::fchmod(fd.get(), old.st_mode & 0777) != 0 || !writeAt(fd.get(), bytes, 0) ||
                     ::fsync(fd.get()) != 0)
                failure = errno;
            if (!fd.close() && failure == 0)
                failure = errno;
            if (failure != 0)
                ::unlink(pending.c_str());
        }
        if (failure == 0)
            return pending;
        backupError = errorText(failure);
        return {};
    }

    // Replaces through a temporary file and a rename where the new file can
    // be what the old one was (same owner, group and mode, the only name of
    // its data but for leftovers of our own, in a folder we may write);
    // rewrites the file in place where it cannot. The previous file goes to
    // a temporary name of the backup before the new one goes in place, and
    // becomes the backup after: a kill between the two leaves it where the
    // next save's sweep makes it the backup.
    bool replace(const std::string& path, ByteSource& bytes, bool keepBackup, std::string& error,
                 std::string& backupError) override
    {
        backupError.clear();
        std::string target;
        int failure = 0;
        if (!followLinks(path, target, failure)) {
            error = errorText(failure);
            return false;
        }
        struct stat old {};
        bool exists = ::stat(target.c_str(), &old) == 0;
        if (!exists && errno != ENOENT) {
            error = errorText(errno);
            return false;
        }
        if (exists) {
            if ((failure = refusalOf(target, old)) != 0) {
                error = errorText(failure);
                return false;
            }
            if (old.st_nlink > 1 && old.st_nlink - ownNames(target, old) > 1)
                return rewriteInPlace(target, bytes, keepBackup, old, error, backupError);
        }

        // A name of our own beside the target, so that the final rename stays
        // within one file system.
        std::string temp;
        Fd fd = createTemporary(target, temp, 0666);
        if (!fd.valid()) {
            failure = errno;
            // A folder we may not write, holding a file we may.
            if (exists && (failure == EACCES || failure == EPERM || failure == EROFS))
                return rewriteInPlace(target, bytes, keepBackup, old, error, backupError);
            error = errorText(failure);
            return false;
        }
        if (exists) {
            // The owner first: a change of owner clears set-id bits that the
            // mode then puts back.
            bool sameOwner = ::fchown(fd.get(), old.st_uid, old.st_gid) == 0;
            if (!sameOwner || ::fchmod(fd.get(), old.st_mode & 07777) != 0) {
                fd.close();
                ::unlink(temp.c_str());
                if (!sameOwner)
                    return rewriteInPlace(target, bytes, keepBackup, old, error, backupError);
                error = errorText(EPERM);
                return false;
            }
        }

        off_t size = 0;
        if (!writeFrom(fd.get(), bytes, size))
            failure = errno;
        else if (::fsync(fd.get()) != 0)
            failure = errno;
        if (!fd.close() && failure == 0)
            failure = errno;
        saveStep("temporary-written");
        std::string pending;
        if (failure == 0 && exists && keepBackup)
            pending = keepPrevious(target, old, backupError);
        saveStep("backup-kept");
        if (failure == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
            failure = errno;
        if (failure != 0) {
            ::unlink(temp.c_str());
            if (!pending.empty())
                ::unlink(pending.c_str());
            backupError.clear();
            error = errorText(failure);
            return false;
        }
        saveStep("replaced");
        if (!pending.empty() && ::rename(pending.c_str(), (target + kBackupSuffix).c_str()) != 0) {
            backupError = errorText(errno);
            ::unlink(pending.c_str());
        }
        if ((failure = flushFolder(target)) != 0) {
            error = errorText(failure);
            return false;
        }
        return true;
    }

    // How many names of target's data are leftovers of our own saves: a
    // save killed after it gave the file a second name leaves one.
    static nlink_t ownNames(const std::string& target, const struct stat& file)
    {
        const std::string folder = folderOf(target);
        const std::string name = fileNamePart(target);
        nlink_t own = 0;
        DIR* listing = ::opendir(folder.c_str());
        if (!listing)
            return 0;
        while (const dirent* item = ::readdir(listing)) {
            struct stat info {};
            if (leftoverKind(item->d_name, name) != Leftover::None &&
                ::lstat((folder + "/" + item->d_name).c_str(), &info) == 0 && info.st_dev == file.st_dev &&
                info.st_ino == file.st_ino)
                ++own;
        }
        ::closedir(listing);
        return own;
    }

    // The old bytes stay in memory until the new ones are on disk, and go
    // back if any write fails. They are kept as the backup first: a crash
    // part way can tear the file, and this path is only taken where a
    // replace would change what the file is. In a folder that may not be
    // written, the backup can only be rewritten in place too.
    bool rewriteInPlace(const std::string& target, ByteSource& bytes, bool keepBackup, const struct stat& old,
                        std::string& error, std::string& backupError)
    {
        struct stat info {};
        int failure = 0;
        Fd fd = openRegular(target, O_RDWR, info, failure);
        if (!fd.valid()) {
            error = errorText(failure);
            return false;
        }
        std::string previous;
        if ((failure = readWhole(fd.get(), info, previous)) != 0) {
            error = errorText(failure);
            return false;
        }
        std::string pending;
        if (keepBackup) {
            pending = writeCopy(target + kBackupSuffix, previous, old, backupError);
            if (pending.empty() && rewriteBackupInPlace(target + kBackupSuffix, previous))
                backupError.clear();
        }
        saveStep("backup-kept");
        auto write = [&fd](ByteSource& text, bool passStep) {
            off_t size = 0;
            if (!writeFrom(fd.get(), text, size))
                return false;
            if (passStep)
                saveStep("in-place");
            return ::ftruncate(fd.get(), size) == 0 && ::fsync(fd.get()) == 0;
        };
        if (!write(bytes, true) || !fd.close()) {
            failure = errno;
            WholeBytes old(previous);
            if (fd.valid())
                write(old, false);
            if (!pending.empty())
                ::unlink(pending.c_str());
            backupError.clear();
            error = errorText(failure);
            return false;
        }
        if (!pending.empty() && ::rename(pending.c_str(), (target + kBackupSuffix).c_str()) != 0) {
            backupError = errorText(errno);
            ::unlink(pending.c_str());
        }
        return true;
    }

    // An existing backup written over with bytes, for a folder where no new
    // file can be made.
    static bool rewriteBackupInPlace(const std::string& backup, std::string_view bytes)
    {
        struct stat info {};
        int failure = 0;
        Fd fd = openRegular(backup, O_WRONLY, info, failure);
        return fd.valid() && writeAt(fd.get(), bytes, 0) &&
               ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd.get()) == 0 && fd.close();
    }

    unsigned m_counter = 0;
};

}  // namespace

std::unique_ptr<FileStore> makePlatformFileStore()
{
    return std::make_unique<PosixFileStore>();
}

}  // namespace qb
