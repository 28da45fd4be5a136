#include "catalogue/FileStore.h"
#include "catalogue/TextRules.h"
#include "handles/ErrorText.h"
#include "handles/Handles.h"
#include "platform/FileReads.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace qb {

namespace {

using win::FileHandle;
using win::FindHandle;

using win::errorText;

// Writes what source hands over, piece by piece.
bool writeAll(HANDLE file, ByteSource& source)
{
    for (std::string_view bytes = source.next(); !bytes.empty(); bytes = source.next()) {
        while (!bytes.empty()) {
            DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
            DWORD written = 0;
            if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr))
                return false;
            if (written == 0) {
                ::SetLastError(ERROR_WRITE_FAULT);
                return false;
            }
            bytes.remove_prefix(written);
        }
    }
    return true;
}

bool hasAttribute(const std::string& path, DWORD wanted)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & wanted) != 0;
}

// Another program holding the file gives a sharing violation, or under Wine
// access denied (which a folder gives too, and is then final).
bool heldByAnother(DWORD code, const std::string& path, DWORD finalAttributes)
{
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           (code == ERROR_ACCESS_DENIED && !hasAttribute(path, finalAttributes));
}

// Another program (a virus scanner, an editor) may hold the file for a
// moment; give it a short while before calling the save failed.
bool moveIntoPlace(const std::string& temp, const std::string& path)
{
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD code = ::GetLastError();
        bool held = heldByAnother(code, path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
        if (!held || attempt + 1 >= kHeldMoveAttempts) {
            ::SetLastError(code);
            return false;
        }
        ::Sleep(kRetryPauseMs);
    }
}

template <typename Status>
Status& failedOpen(Status& status, DWORD code)
{
    status.missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    status.error = errorText(code);
    return status;
}

// A file that another program holds for a moment is tried again
// (kHeldReadAttempts), then reported with its cause. Only a disk file is
// read: a device name (CON, a pipe) would wait for input that never comes.
template <typename Status>
FileHandle openForReading(const std::string& path, Status& status)
{
    for (int attempt = 0;; ++attempt) {
        // Readers share with readers: two programs starting at once both
        // read under the shared lock, which may itself be held on this file.
        FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) {
            if (::GetFileType(file.get()) == FILE_TYPE_DISK)
                return file;
            status.error = "Not a regular file";
            return FileHandle();
        }
        DWORD code = ::GetLastError();
        if (!heldByAnother(code, path, FILE_ATTRIBUTE_DIRECTORY) || attempt + 1 >= kHeldReadAttempts) {
            failedOpen(status, code);
            return FileHandle();
        }
        ::Sleep(kRetryPauseMs);
    }
}

// Reads file to its end: each read goes to the room that into.room() gives,
// and into.got() is told how much it brought. Returns ERROR_SUCCESS or the
// code that stopped the read.
template <typename Into>
DWORD readToEnd(HANDLE file, Into& into)
{
    for (;;) {
        const auto [at, room] = into.room();
        DWORD got = 0;
        if (!::ReadFile(file, at, static_cast<DWORD>(std::min<size_t>(room, 1u << 30)), &got, nullptr))
            return ::GetLastError();
        if (got == 0)
            return ERROR_SUCCESS;
        into.got(got);
    }
}

// The old file's security descriptor onto the new one, so that a catalogue
// on a shared folder keeps its permissions. The owner and group need a
// privilege to set to someone else; the DACL is what grants and denies,
// so it alone is set when they cannot be. A file system without security
// (FAT) has nothing to keep.
bool copySecurity(const std::string& from, const std::string& to, DWORD& code)
{
    const SECURITY_INFORMATION all =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    std::vector<char> descriptor;
    while (!::GetFileSecurityA(from.c_str(), all, descriptor.empty() ? nullptr : descriptor.data(),
                               static_cast<DWORD>(descriptor.size()), &needed)) {
        DWORD error = ::GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= descriptor.size())
            return true;
        descriptor.resize(needed);
    }
    if (::SetFileSecurityA(to.c_str(), all, descriptor.data()) ||
        ::SetFileSecurityA(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data()))
        return true;
    code = ::GetLastError();
    return false;
}

// Hidden and system (and not indexed) stay as the user set them; archive is
// set, as any write sets it, so a backup sees the change.
bool copyAttributes(DWORD old, const std::string& to, DWORD& code)
{
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (::SetFileAttributesA(to.c_str(), (old & kept) | FILE_ATTRIBUTE_ARCHIVE))
        return true;
    code = ::GetLastError();
    return false;
}

// Locks the one byte at kLockOffset, trying again while another holds it.
bool lockByte(HANDLE file, bool exclusive, DWORD& code)
{
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    for (int attempt = 0;; ++attempt) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(kLockOffset);
        if (::LockFileEx(file, flags, 0, 1, 0, &at))
            return true;
        code = ::GetLastError();
        if (code != ERROR_LOCK_VIOLATION || attempt + 1 >= kLockAttempts)
            return false;
        ::Sleep(kRetryPauseMs);
    }
}

// Read access is enough to lock; every other program may open, write or
// delete alongside, so the lock file never stands in anyone's way.
FileHandle openToLock(const std::string& path, DWORD disposition)
{
    return FileHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A second name of the old file's data where the file system has them, else
// a copy with its attributes and security; ERROR_SUCCESS, or why neither
// could be made.
DWORD keepOldFile(const std::string& path, const std::string& backup)
{
    if (::CreateHardLinkA(backup.c_str(), path.c_str(), nullptr))
        return ERROR_SUCCESS;
    DWORD code = ERROR_SUCCESS;
    if (::CopyFileA(path.c_str(), backup.c_str(), TRUE) && copySecurity(path, backup, code))
        return ERROR_SUCCESS;
    if (code == ERROR_SUCCESS)
        code = ::GetLastError();
    ::DeleteFileA(backup.c_str());
    return code;
}

// The folder part of path, with its last backslash or slash ("" for none).
std::string folderPart(const std::string& path)
{
    return path.substr(0, path.size() - fileNamePart(path).size());
}

// The path the system gives for what name opens, links and junctions
// followed, in the usual spelling ("C:\..." or "\\server\share\...").
bool finalPathOf(const std::string& name, std::string& resolved)
{
    const FileHandle file(::CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return false;
    std::string text(MAX_PATH, '\0');
    for (;;) {
        DWORD length =
            ::GetFinalPathNameByHandleA(file.get(), text.data(), static_cast<DWORD>(text.size()), FILE_NAME_NORMALIZED);
        if (length == 0)
            return false;
        if (length < text.size()) {
            text.resize(length);
            break;
        }
        text.resize(length);
    }
    const std::string unc = "\\\\?\\UNC\\";
    const std::string local = "\\\\?\\";
    if (startsWith(text, unc))
        text = "\\\\" + text.substr(unc.size());
    else if (startsWith(text, local))
        text = text.substr(local.size());
    resolved = text;
    return true;
}

// The name every path to one catalogue shares: the file's final path, or for
// a file not made yet its folder's and its own name.
std::string resolvedPath(const std::string& path)
{
    std::string resolved;
    if (finalPathOf(path, resolved))
        return resolved;
    const std::string folder = folderPart(path);
    if (!finalPathOf(folder.empty() ? "." : folder, resolved))
        return path;
    if (resolved.back() != '\\')
        resolved += '\\';
    return resolved + fileNamePart(path);
}

// Whether two files hold the same bytes.
bool sameContent(FileStore& files, const std::string& a, const std::string& b)
{
    const FileReadResult first = files.readAll(a);
    const FileReadResult second = files.readAll(b);
    return first.whole() && second.whole() && first.bytes == second.bytes;
}

class Win32FileStore final : public FileStore
{
public:
    std::unique_ptr<Lock> lock(const std::string& path, LockMode mode, std::string& error) override
    {
        const bool exclusive = mode == LockMode::Exclusive;
        const std::string catalogue = resolvedPath(path);
        const std::string lockPath = catalogue + kLockSuffix;
        // A reader makes no lock file: where there is none, no save has used
        // one yet.
        FileHandle file = openToLock(lockPath, exclusive ? OPEN_ALWAYS : OPEN_EXISTING);
        const DWORD failure = ::GetLastError();
        // A lock file that is there but cannot be locked (a folder of that
        // name, one the saver may not open) must not let a save go ahead
        // unexcluded.
        if (!file && exclusive && ::GetFileAttributesA(lockPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            error = lockFileError(errorText(failure), lockPath);
            return nullptr;
        }
        // A folder that may not be written: the catalogue itself.
        if (!file)
            file = openToLock(catalogue, OPEN_EXISTING);
        // Nothing to lock: what is done next fails by itself where it must.
        if (!file)
            return std::make_unique<Lock>();
        DWORD code = ERROR_SUCCESS;
        if (!lockByte(file.get(), exclusive, code)) {
            error = errorText(code);
            return nullptr;
        }
        return std::make_unique<LockHeldBy<FileHandle>>(std::move(file));
    }

    void removeLeftovers(const std::string& catalogue) override
    {
        const std::string path = resolvedPath(catalogue);
        const std::string name = fileNamePart(path);
        const std::string folder = folderPart(path);
        WIN32_FIND_DATAA found{};
        const FindHandle search(::FindFirstFileA((path + ".*").c_str(), &found));
        if (!search)
            return;
        do {
            const std::string leftover = folder + found.cFileName;
            switch (leftoverKind(found.cFileName, name)) {
            case Leftover::None: break;
            case Leftover::Temporary: ::DeleteFileA(leftover.c_str()); break;
            case Leftover::PendingBackup:
                // Killed after the new file went in place: this is the file
                // it replaced, and the backup it was to become.
                if (sameContent(*this, leftover, path) ||
                    !::MoveFileExA(leftover.c_str(), (path + kBackupSuffix).c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                    ::DeleteFileA(leftover.c_str());
                break;
            }
        } while (::FindNextFileA(search.get(), &found));
    }

    bool writable(const std::string& catalogue, std::string& error) override
    {
        const std::string path = resolvedPath(catalogue);
        const DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return true;
        DWORD code = ERROR_SUCCESS;
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
            code = ERROR_ACCESS_DENIED;
        } else {
            // Opened for writing and for adding a file to its folder, as a
            // save does, and closed unwritten. Only a refusal counts: a file
            // another program holds now may be free at the save.
            const std::string folder = folderPart(path);
            const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
            const FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file)
                code = ::GetLastError();
            else if (!FileHandle(::CreateFileA(folder.empty() ? "." : folder.c_str(), FILE_ADD_FILE, share, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)))
                code = ::GetLastError();
            if (code != ERROR_ACCESS_DENIED)
                code = ERROR_SUCCESS;
        }
        if (code != ERROR_SUCCESS)
            error = errorText(code);
        return code == ERROR_SUCCESS;
    }

    FileReadResult readAll(const std::string& path) override
    {
        FileReadResult result;
        readInto(path, result, [&result](HANDLE file) {
            LARGE_INTEGER size{};
            const bool sized = ::GetFileSizeEx(file, &size) && size.QuadPart > 0;
            return ReadIntoString(result.bytes, sized ? static_cast<size_t>(size.QuadPart) : 0);
        });
        return result;
    }

    ReadStatus readChunks(const std::string& path, const std::function<void(std::string_view)>& sink) override
    {
        ReadStatus status;
        readInto(path, status, [&sink](HANDLE) { return ReadInPieces(sink); });
        return status;
    }

private:
    // Opens path for reading and reads it to its end into what makeInto
    // gives for it.
    template <typename MakeInto>
    static void readInto(const std::string& path, ReadStatus& status, MakeInto&& makeInto)
    {
        FileHandle file = openForReading(path, status);
        if (!file)
            return;
        status.opened = true;
        auto into = makeInto(file.get());
        if (const DWORD failure = readToEnd(file.get(), into)) {
            status.readError = true;
            status.error = errorText(failure);
        }
        into.done();
    }

    // The file a link leads to is replaced, so that the link stays one. The
    // previous file goes to a temporary name of the backup before the new one
    // goes in place, and becomes the backup after: a kill between the two
    // leaves it where the next save's sweep makes it the backup.
    bool replace(const std::string& catalogue, ByteSource& bytes, bool keepBackup, std::string& error,
                 std::string& backupError) override
    {
        backupError.clear();
        const std::string path = resolvedPath(catalogue);
        // A rename would replace a read-only file without asking; the user
        // marked it so that it is not written, so the save fails instead.
        if (hasAttribute(path, FILE_ATTRIBUTE_READONLY)) {
            error = errorText(ERROR_ACCESS_DENIED);
            return false;
        }
        std::string temp;
        FileHandle file;
        DWORD code = ERROR_SUCCESS;
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            temp = temporaryName(path, ::GetCurrentProcessId(), ++m_counter);
            HANDLE handle =
                ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                file.reset(handle);
                break;
            }
            code = ::GetLastError();
            if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
                break;
        }
        if (!file) {
            error = errorText(code);
            return false;
        }

        bool ok = writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
        if (!ok)
            code = ::GetLastError();
        // Closing is where a late write error shows, so its result counts.
        if (!::CloseHandle(file.release()) && ok) {
            ok = false;
            code = ::GetLastError();
        }
        // Attributes before security: Wine keeps both in the mode bits, and
        // setting attributes there makes the file writable again.
        DWORD oldAttributes = ::GetFileAttributesA(path.c_str());
        if (ok && oldAttributes != INVALID_FILE_ATTRIBUTES &&
            !(copyAttributes(oldAttributes, temp, code) && copySecurity(path, temp, code)))
            ok = false;
        saveStep("temporary-written");
        std::string pending;
        if (ok && keepBackup && oldAttributes != INVALID_FILE_ATTRIBUTES) {
            pending = temporaryName(path + kBackupSuffix, ::GetCurrentProcessId(), ++m_counter);
            if (const DWORD kept = keepOldFile(path, pending)) {
                backupError = errorText(kept);
                pending.clear();
            }
        }
        saveStep("backup-kept");
        if (ok && !moveIntoPlace(temp, path)) {
            ok = false;
            code = ::GetLastError();
        }
        if (!ok) {
            ::DeleteFileA(temp.c_str());
            if (!pending.empty())
                ::DeleteFileA(pending.c_str());
            backupError.clear();
            error = errorText(code);
            return false;
        }
        saveStep("replaced");
        if (!pending.empty() && !::MoveFileExA(pending.c_str(), (path + kBackupSuffix).c_str(),
                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            backupError = errorText(::GetLastError());
            ::DeleteFileA(pending.c_str());
        }
        return true;
    }

    unsigned m_counter = 0;
};

}  // namespace

std::unique_ptr<FileStore> makePlatformFileStore()
{
    return std::make_unique<Win32FileStore>();
}

}  // namespace qb
