#include "platform/SystemServices.h"

namespace qb {

namespace {

// No shell or program starter of Windows here: a link opens nothing and says
// so with the shell's "file not found".
class NoLinkSystem final : public LinkSystem
{
public:
    int shellOpen(const std::string&, int) override { return kFileNotFound; }
    bool readClassesRootDefault(const std::string&, std::string&) override { return false; }
    int startProgram(const std::string&, int) override { return kFileNotFound; }

private:
    static constexpr int kFileNotFound = 2;
};

// No per-user store here: nothing is remembered.
class NoUserSettings final : public UserSettings
{
public:
    std::optional<std::string> readText(const std::string&) override { return std::nullopt; }
    bool writeText(const std::string&, const std::string&) override { return false; }
    std::optional<uint32_t> readNumber(const std::string&) override { return std::nullopt; }
    bool writeNumber(const std::string&, uint32_t) override { return false; }
};

}  // namespace

SystemServices makeSystemServices()
{
    return {makePlatformFileStore(), makeSystemBrowserSource(), makePlatformDirectoryClient(),
            std::make_unique<NoLinkSystem>(), std::make_unique<NoUserSettings>()};
}

}  // namespace qb
