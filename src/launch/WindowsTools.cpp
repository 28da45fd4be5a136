#include "launch/WindowsTools.h"

#include "catalogue/TextRules.h"

namespace qb {

std::string remoteDesktopParams(const std::string& host, int32_t rdpWidth, int32_t rdpHeight)
{
    std::string params = "/v:" + host;
    if (rdpWidth != -1)
        params += " /w:" + formatNumber(rdpWidth) + " /h:" + formatNumber(rdpHeight);
    return params;
}

}  // namespace qb
