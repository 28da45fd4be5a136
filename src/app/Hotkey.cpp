#include "app/Hotkey.h"

#include <utility>

namespace qb {

namespace {

// The hotkey control's HOTKEYF_* flags.
constexpr uint32_t kControlShift = 0x1;
constexpr uint32_t kControlControl = 0x2;
constexpr uint32_t kControlAlt = 0x4;

}  // namespace

Hotkey hotkeyFromControl(uint32_t value)
{
    const uint32_t key = value & 0xFF;
    const uint32_t flags = (value >> 8) & 0xFF;
    if (key == 0)
        return {};
    Hotkey hotkey{0, key};
    if (flags & kControlShift)
        hotkey.modifiers |= kModShift;
    if (flags & kControlControl)
        hotkey.modifiers |= kModControl;
    if (flags & kControlAlt)
        hotkey.modifiers |= kModAlt;
    return hotkey;
}

std::string hotkeyInUseMessage(const Hotkey& hotkey, const std::string& keyName)
{
    std::string text = "The hotkey ";
    const std::pair<uint32_t, const char*> names[] = {
        {kModControl, "Ctrl+"}, {kModAlt, "Alt+"}, {kModShift, "Shift+"}, {kModWin, "Win+"}};
    for (const auto& [modifier, name] : names)
        if (hotkey.modifiers & modifier)
            text += name;
    return text + keyName + " is in use by another program.";
}

}  // namespace qb
