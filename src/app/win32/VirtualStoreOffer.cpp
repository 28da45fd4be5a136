#include "app/win32/VirtualStoreOffer.h"

#include "catalogue/CatalogueFile.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace {

// Text from a call that fills a buffer of the size given and returns the
// length written, or the size it needs (its NUL counted) when the buffer is
// too small, or 0 on failure.
template <typename Call>
std::string sizedText(Call call)
{
    std::string text;
    DWORD length = call(nullptr, 0);
    while (length > text.size()) {
        text.resize(length);
        length = call(&text[0], length);
    }
    text.resize(length);
    return text;
}

}  // namespace

qb::FileStamp fileStamp(const std::string& path)
{
    qb::FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return stamp;
    stamp.exists = true;
    stamp.writeTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    stamp.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return stamp;
}

std::optional<qb::VirtualStoreCopy> findVirtualStoreCopy()
{
    qb::VirtualStoreCopy found;
    found.folder = sizedText([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
    const std::string localAppData =
        sizedText([](char* buffer, DWORD size) { return GetEnvironmentVariableA("LOCALAPPDATA", buffer, size); });
    found.path = qb::virtualStoreCopyPath(localAppData, found.folder, qb::kCatalogueFileName);
    // Nor does Windows redirect a network drive.
    if (found.path.empty() || GetDriveTypeA(found.folder.substr(0, 3).c_str()) == DRIVE_REMOTE)
        return std::nullopt;
    found.copy = fileStamp(found.path);
    if (!found.copy.exists)
        return std::nullopt;
    found.local = fileStamp(qb::kCatalogueFileName);
    return found;
}
