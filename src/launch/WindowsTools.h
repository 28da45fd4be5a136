// What the Windows template's menu items and the host editor's template
// entries share: the icons the program picks for each tool and the remote
// desktop parameters. The two differ on purpose elsewhere (shares against
// drive letters, different shutdown switches), so each builds its own list.
#pragma once

#include <cstdint>
#include <string>

namespace qb {

constexpr int32_t kIconRemoteDesktop = 17;
constexpr int32_t kIconDriveShare = 72;
constexpr int32_t kIconManage = 7;
constexpr int32_t kIconReboot = 70;
constexpr int32_t kIconShutdown = 71;
constexpr int32_t kIconPing = 24;

// "/v:host", plus " /w:W /h:H" unless the width is -1 (full screen); the
// height alone never means full screen.
std::string remoteDesktopParams(const std::string& host, int32_t rdpWidth, int32_t rdpHeight);

}  // namespace qb
