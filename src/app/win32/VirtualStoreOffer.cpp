#include "app/win32/VirtualStoreOffer.h"

#include "app/VirtualStore.h"
#include "platform/win32/Registry.h"
#include "win/CommonDialogs.h"

#include <cstdint>
#include <string>

namespace {

constexpr char kSettingsKey[] = "Software\\Quillbank";
constexpr char kDeclinedValue[] = "Declined VirtualStore copy";

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

qb::FileStamp stampOf(const std::string& path)
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

}  // namespace

void offerVirtualStoreCopy(HWND owner, qb::CatalogueSession& session, qb::HostCatalogue& hosts, qb::AppOptions& options,
                           qb::CatalogueWindow& window)
{
    const std::string folder = sizedText([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
    const std::string localAppData =
        sizedText([](char* buffer, DWORD size) { return GetEnvironmentVariableA("LOCALAPPDATA", buffer, size); });
    const std::string copyPath = qb::virtualStoreCopyPath(localAppData, folder, qb::kCatalogueFileName);
    // Nor does Windows redirect a network drive.
    if (copyPath.empty() || GetDriveTypeA(folder.substr(0, 3).c_str()) == DRIVE_REMOTE)
        return;
    const qb::FileStamp copy = stampOf(copyPath);
    if (!copy.exists)
        return;
    const qb::FileStamp local = stampOf(qb::kCatalogueFileName);
    const std::string declined = qb::readTextValue(HKEY_CURRENT_USER, kSettingsKey, kDeclinedValue).value_or("");
    if (!qb::shouldOfferCopy(copyPath, copy, local, declined))
        return;

    const int answer =
        win::showMessage(qb::takeOverQuestion(copyPath, folder, local.exists), MB_YESNO | MB_ICONQUESTION, owner);
    if (answer == IDNO)
        qb::writeTextValue(HKEY_CURRENT_USER, kSettingsKey, kDeclinedValue, qb::copyMark(copyPath, copy));
    if (answer != IDYES)
        return;
    const auto report = [owner](const std::string& message) { win::showMessage(message, MB_OK, owner); };
    const qb::FileReadResult taken = session.files().readAll(copyPath);
    if (!taken.whole()) {
        report("Unable to read " + copyPath + ": " + taken.error);
        return;
    }
    session.takeOver(taken.bytes, hosts, options, window, report);
}
