// A catalogue that Windows redirected. A 32-bit program without a manifest
// run from a folder the user may not write to had its saves put under the
// user's VirtualStore folder instead; the program, now running as the user
// really is, offers to take such a copy over once at start.
#pragma once

#include <cstdint>
#include <string>

namespace qb {

// What the start looks at in a file.
struct FileStamp {
    bool exists = false;
    uint64_t writeTime = 0;  // later is larger
    uint64_t size = 0;
};

// A redirected copy as the start finds it.
struct VirtualStoreCopy {
    std::string path;    // the copy
    std::string folder;  // the working folder, where the catalogue is
    FileStamp copy;
    FileStamp local;  // the catalogue in the working folder
};

// The per-user setting that remembers the copy declined last (a copyMark).
constexpr const char* kDeclinedCopySetting = "Declined VirtualStore copy";

// Where Windows put the redirected copy of fileName in workingFolder:
// localAppData\VirtualStore followed by the folder without its drive
// ("C:\Program Files\Q" gives localAppData\VirtualStore\Program Files\Q).
// Empty where nothing is redirected: a network (UNC) path, a folder that is
// not an absolute drive path, or no local application data folder.
std::string virtualStoreCopyPath(const std::string& localAppData, const std::string& workingFolder,
                                 const std::string& fileName);

// The text a declined copy is remembered by: it changes whenever the copy does.
std::string copyMark(const std::string& copyPath, const FileStamp& copy);

// Whether to offer the copy: it exists, is newer than the local file or there
// is none, and is not the copy the user declined (declinedMark, from copyMark).
bool shouldOfferCopy(const std::string& copyPath, const FileStamp& copy, const FileStamp& local,
                     const std::string& declinedMark);

// The question: where both files are, and what Yes does.
std::string takeOverQuestion(const std::string& copyPath, const std::string& workingFolder, bool localExists);

}  // namespace qb
