#include "catalogue/FileStore.h"

#include <cerrno>
#include <climits>
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

// Reads from fd to its end, piece by piece into buffer, handing each piece
// to sink. Returns 0 or the errno that stopped the read.
template <typename Sink>
int readToEnd(int fd, std::string& buffer, Sink&& sink)
{
    for (;;) {
        ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return 0;
        sink(std::string_view(buffer.data(), static_cast<size_t>(got)));
    }
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
        const struct timespec pause = {0, kLockPauseMs * 1000L * 1000L};
        ::nanosleep(&pause, nullptr);
    }
}

// The lock file for a catalogue, made as writable as the catalogue is, so
// that everyone who may save it may lock it.
Fd openLockFile(const std::string& catalogue, bool exclusive)
{
    const std::string lockPath = catalogue + kLockSuffix;
    Fd fd(::open(lockPath.c_str(), O_RDWR | O_CLOEXEC));
    if (!fd.valid() && errno == ENOENT) {
        fd.reset(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        struct stat info {};
        if (fd.valid() && ::stat(catalogue.c_str(), &info) == 0)
            ::fchmod(fd.get(), info.st_mode & 0666);
        else if (!fd.valid() && errno == EEXIST)
            fd.reset(::open(lockPath.c_str(), O_RDWR | O_CLOEXEC));
    }
    if (!fd.valid() && !exclusive)
        fd.reset(::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC));
    return fd;
}

class PosixFileStore final : public FileStore
{
public:
    static constexpr size_t kChunkSize = 256 * 1024;

    FileReadResult readAll(const std::string& path) override
    {
        FileReadResult result;
        struct stat info {};
        int code = 0;
        Fd fd = openRegular(path, O_RDONLY, info, code);
        if (!fd.valid())
            return failedOpen(result, code);
        result.opened = true;
        // Read straight into the result, sized from the file and grown only
        // if the file grows while it is read.
        size_t size = info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0;
        result.bytes.resize(size + 1);
        size_t filled = 0;
        for (;;) {
            if (filled == result.bytes.size())
                result.bytes.resize(result.bytes.size() * 2);
            ssize_t got = ::read(fd.get(), &result.bytes[filled], result.bytes.size() - filled);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                result.readError = true;
                result.error = errorText(errno);
                break;
            }
            if (got == 0)
                break;
            filled += static_cast<size_t>(got);
        }
        result.bytes.resize(filled);
        return result;
    }

    ReadStatus readChunks(const std::string& path, const std::function<void(std::string_view)>& sink) override
    {
        ReadStatus status;
        struct stat info {};
        int code = 0;
        Fd fd = openRegular(path, O_RDONLY, info, code);
        if (!fd.valid())
            return failedOpen(status, code);
        status.opened = true;
        std::string chunk(kChunkSize, '\0');
        if (int failure = readToEnd(fd.get(), chunk, sink)) {
            status.readError = true;
            status.error = errorText(failure);
        }
        return status;
    }

    std::unique_ptr<Lock> lock(const std::string& path, LockMode mode, std::string& error) override
    {
        const bool exclusive = mode == LockMode::Exclusive;
        Fd fd = openLockFile(path, exclusive);
        // A folder that may not be written: the catalogue itself.
        if (!fd.valid())
            fd.reset(::open(path.c_str(), (exclusive ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC));
        // Nothing to lock: what is done next fails by itself where it must.
        if (!fd.valid())
            return std::make_unique<Lock>();
        int code = 0;
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
            if (isTemporaryName(item->d_name, name))
                ::unlink((folder + "/" + item->d_name).c_str());
        }
        ::closedir(listing);
    }

    bool replaceAll(const std::string& path, std::string_view bytes, std::string& error) override
    {
        return replace(path, bytes, false, error);
    }

    bool replaceKeepingBackup(const std::string& path, std::string_view bytes, std::string& error) override
    {
        return replace(path, bytes, true, error);
    }

private:
    // Replaces through a temporary file and a rename where the new file can
    // be what the old one was (same owner, group and mode, the only name of
    // its data, in a folder we may write); rewrites the file in place where
    // it cannot. The backup is a second name of the old file's data, so it
    // is what the file was in every respect.
    bool replace(const std::string& path, std::string_view bytes, bool keepBackup, std::string& error)
    {
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
            failure = S_ISDIR(old.st_mode) ? EISDIR : !S_ISREG(old.st_mode) ? kNotRegular : 0;
            // Root may write anything; a file without write bits was made
            // read-only on purpose and is refused even so.
            if (failure == 0 && (old.st_mode & 0222) == 0)
                failure = EACCES;
            else if (failure == 0 && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
                failure = errno;
            if (failure != 0) {
                error = errorText(failure);
                return false;
            }
            if (old.st_nlink > 1)
                return rewriteInPlace(target, bytes, error);
        }

        std::string temp;
        Fd fd;
        // A name of our own beside the target, so that the final rename stays
        // within one file system.
        for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
            temp = temporaryName(target, static_cast<unsigned long>(::getpid()), ++m_counter);
            fd.reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (!fd.valid() && errno != EEXIST)
                break;
        }
        if (!fd.valid()) {
            failure = errno;
            // A folder we may not write, holding a file we may.
            if (exists && (failure == EACCES || failure == EPERM || failure == EROFS))
                return rewriteInPlace(target, bytes, error);
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
                    return rewriteInPlace(target, bytes, error);
                error = errorText(EPERM);
                return false;
            }
        }

        if (!writeAt(fd.get(), bytes, 0))
            failure = errno;
        else if (::fsync(fd.get()) != 0)
            failure = errno;
        if (!fd.close() && failure == 0)
            failure = errno;
        std::string backup;
        if (failure == 0 && exists && keepBackup) {
            backup = temporaryName(target, static_cast<unsigned long>(::getpid()), ++m_counter);
            // No second name on this file system: no backup.
            if (::link(target.c_str(), backup.c_str()) != 0)
                backup.clear();
        }
        if (failure == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
            failure = errno;
        if (failure != 0) {
            ::unlink(temp.c_str());
            if (!backup.empty())
                ::unlink(backup.c_str());
            error = errorText(failure);
            return false;
        }
        if (!backup.empty() && ::rename(backup.c_str(), (target + kBackupSuffix).c_str()) != 0)
            ::unlink(backup.c_str());
        if ((failure = flushFolder(target)) != 0) {
            error = errorText(failure);
            return false;
        }
        return true;
    }

    // The old bytes stay in memory until the new ones are on disk, and go
    // back if any write fails. A crash part way can still tear the file:
    // this path is only taken where a replace would change what the file is.
    static bool rewriteInPlace(const std::string& target, std::string_view bytes, std::string& error)
    {
        struct stat info {};
        int failure = 0;
        Fd fd = openRegular(target, O_RDWR, info, failure);
        if (!fd.valid()) {
            error = errorText(failure);
            return false;
        }
        std::string old;
        old.reserve(info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0);
        std::string chunk(kChunkSize, '\0');
        if ((failure = readToEnd(fd.get(), chunk, [&old](std::string_view piece) { old.append(piece); })) != 0) {
            error = errorText(failure);
            return false;
        }
        auto write = [&fd](std::string_view text) {
            return writeAt(fd.get(), text, 0) && ::ftruncate(fd.get(), static_cast<off_t>(text.size())) == 0 &&
                   ::fsync(fd.get()) == 0;
        };
        if (!write(bytes)) {
            failure = errno;
            write(old);
            error = errorText(failure);
            return false;
        }
        if (!fd.close()) {
            error = errorText(errno);
            return false;
        }
        return true;
    }

    unsigned m_counter = 0;
};

}  // namespace

FileStore& platformFileStore()
{
    static PosixFileStore store;
    return store;
}

}  // namespace qb
