#include "launch/Browser.h"

namespace qb {
namespace {

// No protocol registry here: the default browser is unknown.
class NoBrowserSource final : public BrowserSource
{
public:
    std::string registeredCommand() override { return {}; }
};

}  // namespace

std::unique_ptr<BrowserSource> makeSystemBrowserSource()
{
    return std::make_unique<NoBrowserSource>();
}

}  // namespace qb
