// The file system as the catalogue needs it: read a whole file (a regular
// file only), and replace a whole file so that a failure never leaves a
// half-written catalogue.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qb {

// How a read went. Only a missing file is not an error: a file that exists
// but cannot be read, or whose read stops part way, must never be written
// over by what was (not) read.
struct ReadStatus {
    bool opened = false;     // false: missing, locked or unreadable
    bool missing = false;    // not opened because there is no such file
    bool readError = false;  // the read stopped part way; the bytes end there
    std::string error;       // the platform's description of what failed
    // Read from start to end.
    bool whole() const { return opened && !readError; }
    // The file is there but could not be read whole.
    bool failed() const { return !missing && !whole(); }
};

struct FileReadResult : ReadStatus {
    std::string bytes;
};

class FileStore
{
public:
    virtual ~FileStore() = default;
    virtual FileReadResult readAll(const std::string& path) = 0;
    // Hands the file's bytes to sink piece by piece, in order. Stores that
    // cannot do better hand over readAll's bytes in one piece.
    virtual ReadStatus readChunks(const std::string& path, const std::function<void(std::string_view)>& sink)
    {
        FileReadResult file = readAll(path);
        if (file.opened && !file.bytes.empty())
            sink(file.bytes);
        return std::move(static_cast<ReadStatus&>(file));
    }
    // Writes bytes to a temporary file beside path, flushes it to disk and
    // puts it in place of path in one step, keeping what the old file was
    // (owner, permissions, attributes; a link to it stays a link). Where a
    // replace cannot keep that (POSIX: a folder that may not be written, an
    // owner that cannot be given, more than one hard link), path is rewritten
    // in place and its old bytes written back if a write fails. A read-only
    // file is refused. On failure path is unchanged, the temporary file is
    // gone, and error holds the platform's description.
    virtual bool replaceAll(const std::string& path, std::string_view bytes, std::string& error) = 0;
};

// The real file system of the platform the program runs on.
FileStore& platformFileStore();

}  // namespace qb
