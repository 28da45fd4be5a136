#include "catalogue/FileStore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qb {

namespace {

// Owns one file descriptor; close() reports what closing said, because a
// delayed write error may only show up there.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
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

std::string errorText(int code)
{
    return std::strerror(code);
}

template <typename Status>
Status& failedOpen(Status& status, int code)
{
    status.missing = code == ENOENT;
    status.error = errorText(code);
    return status;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
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
    }
    return true;
}

class PosixFileStore final : public FileStore {
public:
    static constexpr size_t kChunkSize = 256 * 1024;

    FileReadResult readAll(const std::string& path) override
    {
        FileReadResult result;
        Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd.valid())
            return failedOpen(result, errno);
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0)
            return failedOpen(result, errno);
        if (S_ISDIR(info.st_mode))
            return failedOpen(result, EISDIR);
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
        Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd.valid())
            return failedOpen(status, errno);
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0)
            return failedOpen(status, errno);
        if (S_ISDIR(info.st_mode))
            return failedOpen(status, EISDIR);
        status.opened = true;
        std::string chunk(kChunkSize, '\0');
        for (;;) {
            ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                status.readError = true;
                status.error = errorText(errno);
                break;
            }
            if (got == 0)
                break;
            sink(std::string_view(chunk.data(), static_cast<size_t>(got)));
        }
        return status;
    }

    bool replaceAll(const std::string& path, std::string_view bytes, std::string& error) override
    {
        std::string temp;
        Fd fd;
        // A name of our own beside the target, so that the final rename stays
        // within one file system.
        for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
            temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++m_counter);
            fd.reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (!fd.valid() && errno != EEXIST)
                break;
        }
        if (!fd.valid()) {
            error = errorText(errno);
            return false;
        }
        keepModeOf(path, fd.get());

        int failure = 0;
        if (!writeAll(fd.get(), bytes))
            failure = errno;
        else if (::fsync(fd.get()) != 0)
            failure = errno;
        if (!fd.close() && failure == 0)
            failure = errno;
        // The folder itself is not flushed: a crash may undo the rename,
        // which leaves the old file whole, and whole is what a save promises.
        if (failure == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
            failure = errno;
        if (failure != 0) {
            ::unlink(temp.c_str());
            error = errorText(failure);
            return false;
        }
        return true;
    }

private:
    // A file the user made private stays private after a save.
    static void keepModeOf(const std::string& path, int fd)
    {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            ::fchmod(fd, info.st_mode & 07777);
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
