#include "app/VirtualStore.h"

#include "catalogue/FileStore.h"

namespace qb {

namespace {

bool isDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isSlash(char c)
{
    return c == '\\' || c == '/';
}

std::string folderPart(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string virtualStoreCopyPath(const std::string& localAppData, const std::string& workingFolder,
                                 const std::string& fileName)
{
    // "C:\..." only: "\\server\share" and "\\?\..." start with slashes, and
    // "C:folder" depends on the drive's own current folder.
    if (localAppData.empty() || workingFolder.size() < 3 || !isDriveLetter(workingFolder[0]) ||
        workingFolder[1] != ':' || !isSlash(workingFolder[2]))
        return {};
    std::string path = localAppData;
    while (!path.empty() && isSlash(path.back()))
        path.pop_back();
    path += "\\VirtualStore";
    path += workingFolder.substr(2);
    if (!isSlash(path.back()))
        path += '\\';
    return path + fileName;
}

std::string copyMark(const std::string& copyPath, const FileStamp& copy)
{
    return std::to_string(copy.writeTime) + " " + std::to_string(copy.size) + " " + copyPath;
}

bool shouldOfferCopy(const std::string& copyPath, const FileStamp& copy, const FileStamp& local,
                     const std::string& declinedMark)
{
    if (!copy.exists || (local.exists && copy.writeTime <= local.writeTime))
        return false;
    return declinedMark != copyMark(copyPath, copy);
}

std::string takeOverQuestion(const std::string& copyPath, const std::string& workingFolder, bool localExists)
{
    const std::string name = fileNamePart(copyPath);
    std::string text = "A newer copy of " + name + " was found in\n" + folderPart(copyPath) +
                       "\n(saved there by an older version of Quillbank that Windows redirected).\n\n";
    if (!localExists)
        return text + "Use it as " + name + " in\n" + workingFolder + "?";
    return text + "Use it instead of " + name + " in\n" + workingFolder + "?\nThe current one is kept as " + name +
           kBackupSuffix + ".";
}

}  // namespace qb
