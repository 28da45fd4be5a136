#include "catalogue/FileStore.h"

namespace qb {

namespace {
class Win32FileStore final : public FileStore {
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
    static Win32FileStore store;
    return store;
}

}  // namespace qb
