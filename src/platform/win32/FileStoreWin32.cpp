#include "catalogue/FileStore.h"
#include "handles/Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qb {

namespace {

using win::FileHandle;

// The system's sentence for an error code, without the line break and the
// full stop that end it, so that it reads well after "Unable to save x: ".
std::string errorText(DWORD code)
{
    char* raw = nullptr;
    DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<char*>(&raw), 0, nullptr);
    const win::LocalText text(raw);
    std::string result;
    if (length != 0 && text.get())
        result.assign(text.get(), length);
    while (!result.empty() && (result.back() == '\r' || result.back() == '\n' || result.back() == ' ' ||
                               result.back() == '\t' || result.back() == '.'))
        result.pop_back();
    if (result.empty())
        result = "error " + std::to_string(code);
    return result;
}

bool writeAll(HANDLE file, std::string_view bytes)
{
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
    constexpr int kAttempts = 8;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD code = ::GetLastError();
        bool held = heldByAnother(code, path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
        if (!held || attempt + 1 >= kAttempts) {
            ::SetLastError(code);
            return false;
        }
        ::Sleep(kPauseMs);
    }
}

template <typename Status>
Status& failedOpen(Status& status, DWORD code)
{
    status.missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    status.error = errorText(code);
    return status;
}

// No sharing, as the program always opened it. A file that another program
// holds for a moment is tried again for about two seconds, as a save is,
// then reported with its cause. Only a disk file is read: a device name
// (CON, a pipe) would wait for input that never comes.
template <typename Status>
FileHandle openForReading(const std::string& path, Status& status)
{
    constexpr int kAttempts = 40;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 0;; ++attempt) {
        FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) {
            if (::GetFileType(file.get()) == FILE_TYPE_DISK)
                return file;
            status.error = "Not a regular file";
            return FileHandle();
        }
        DWORD code = ::GetLastError();
        if (!heldByAnother(code, path, FILE_ATTRIBUTE_DIRECTORY) || attempt + 1 >= kAttempts) {
            failedOpen(status, code);
            return FileHandle();
        }
        ::Sleep(kPauseMs);
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

class Win32FileStore final : public FileStore
{
public:
    FileReadResult readAll(const std::string& path) override
    {
        FileReadResult result;
        FileHandle file = openForReading(path, result);
        if (!file)
            return result;
        result.opened = true;
        LARGE_INTEGER size{};
        if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0)
            result.bytes.reserve(static_cast<size_t>(size.QuadPart));
        std::string chunk(64 * 1024, '\0');
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
                result.readError = true;
                result.error = errorText(::GetLastError());
                break;
            }
            if (got == 0)
                break;
            result.bytes.append(chunk.data(), got);
        }
        return result;
    }

    ReadStatus readChunks(const std::string& path, const std::function<void(std::string_view)>& sink) override
    {
        ReadStatus status;
        FileHandle file = openForReading(path, status);
        if (!file)
            return status;
        status.opened = true;
        std::string chunk(256 * 1024, '\0');
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
                status.readError = true;
                status.error = errorText(::GetLastError());
                break;
            }
            if (got == 0)
                break;
            sink(std::string_view(chunk.data(), got));
        }
        return status;
    }

    bool replaceAll(const std::string& path, std::string_view bytes, std::string& error) override
    {
        // A rename would replace a read-only file without asking; the user
        // marked it so that it is not written, so the save fails instead.
        if (hasAttribute(path, FILE_ATTRIBUTE_READONLY)) {
            error = errorText(ERROR_ACCESS_DENIED);
            return false;
        }
        std::string temp;
        FileHandle file;
        DWORD code = ERROR_SUCCESS;
        for (int attempt = 0; attempt < 100; ++attempt) {
            temp = path + ".tmp-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++m_counter);
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
        if (ok && !moveIntoPlace(temp, path)) {
            ok = false;
            code = ::GetLastError();
        }
        if (!ok) {
            ::DeleteFileA(temp.c_str());
            error = errorText(code);
            return false;
        }
        return true;
    }

private:
    unsigned m_counter = 0;
};

}  // namespace

FileStore& platformFileStore()
{
    static Win32FileStore store;
    return store;
}

}  // namespace qb
