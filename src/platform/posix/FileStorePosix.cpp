#include "catalogue/FileStore.h"

namespace qb {

namespace {
class PosixFileStore final : public FileStore {
public:
    FileReadResult readAll(const std::string&) override { return {}; }
    bool replaceAll(const std::string&, std::string_view, std::string& error) override
    {
        error = "not implemented";
        return false;
    }
};
}  // namespace

FileStore& platformFileStore()
{
    static PosixFileStore store;
    return store;
}

}  // namespace qb
