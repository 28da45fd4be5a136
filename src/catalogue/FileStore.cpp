#include "catalogue/FileStore.h"

#include "catalogue/TextRules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace qb {

namespace {

const std::string kTemporaryMark = ".tmp-";

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool sameBytes(ByteSource& a, ByteSource& b)
{
    std::string_view left, right;
    for (;;) {
        if (left.empty())
            left = a.next();
        if (right.empty())
            right = b.next();
        if (left.empty() || right.empty())
            return left.empty() && right.empty();
        const size_t common = std::min(left.size(), right.size());
        if (left.substr(0, common) != right.substr(0, common))
            return false;
        left.remove_prefix(common);
        right.remove_prefix(common);
    }
}

bool sameBytes(ByteSource& source, std::string_view bytes)
{
    WholeBytes whole(bytes);
    return sameBytes(source, whole);
}

std::string allBytes(ByteSource& source)
{
    std::string all;
    for (std::string_view piece = source.next(); !piece.empty(); piece = source.next())
        all.append(piece);
    return all;
}

std::string fileNamePart(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temporaryName(const std::string& path, unsigned long processId, unsigned counter)
{
    return path + kTemporaryMark + std::to_string(processId) + "-" + std::to_string(counter);
}

bool isTemporaryName(const std::string& name, const std::string& fileName)
{
    // Exactly our own pattern: anything else beside the catalogue (a user's
    // "quillbank.ini.tmp-old" copy) is not ours to remove.
    const std::string prefix = fileName + kTemporaryMark;
    if (name.size() <= prefix.size() || !startsWith(name, prefix))
        return false;
    const std::string_view rest = std::string_view(name).substr(prefix.size());
    const size_t dash = rest.find('-');
    return dash != std::string_view::npos && allDigits(rest.substr(0, dash)) && allDigits(rest.substr(dash + 1));
}

Leftover leftoverKind(const std::string& name, const std::string& fileName)
{
    if (isTemporaryName(name, fileName))
        return Leftover::Temporary;
    if (isTemporaryName(name, fileName + kBackupSuffix))
        return Leftover::PendingBackup;
    return Leftover::None;
}

std::string lockFileError(const std::string& cause, const std::string& lockPath)
{
    return cause + " (the lock file " + lockPath + ")";
}

void saveStep(const char* step)
{
    const char* killAt = std::getenv("QB_KILL_AT");
    // 137: the status a shell gives a process ended by SIGKILL.
    if (killAt && std::strcmp(killAt, step) == 0)
        std::_Exit(137);
}

}  // namespace qb
