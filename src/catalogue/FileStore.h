// The file system as the catalogue needs it: read a whole file, and replace a
// whole file so that a failure never leaves a half-written catalogue.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qb {

struct FileReadResult {
    bool opened = false;     // false: missing, locked or unreadable
    bool readError = false;  // the read stopped part way; bytes holds what came
    std::string bytes;
};

class FileStore {
public:
    virtual ~FileStore() = default;
    virtual FileReadResult readAll(const std::string& path) = 0;
    // Hands the file's bytes to sink piece by piece, in order; false when
    // the file cannot be opened. readError: the read stopped part way.
    // Stores that cannot do better hand over readAll's bytes in one piece.
    virtual bool readChunks(const std::string& path, const std::function<void(std::string_view)>& sink,
                            bool& readError)
    {
        FileReadResult file = readAll(path);
        readError = file.readError;
        if (file.opened && !file.bytes.empty())
            sink(file.bytes);
        return file.opened;
    }
    // Writes bytes to a temporary file beside path, flushes it to disk and
    // puts it in place of path in one step. On failure path is unchanged, the
    // temporary file is gone, and error holds the platform's description.
    virtual bool replaceAll(const std::string& path, std::string_view bytes, std::string& error) = 0;
};

// The real file system of the platform the program runs on.
FileStore& platformFileStore();

}  // namespace qb
