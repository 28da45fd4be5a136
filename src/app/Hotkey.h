// The hotkey that brings the main window from any program: kept per user
// (never in the shared catalogue) as the hotkey control's value, which the
// registration of a system-wide hotkey cannot take as it is.
#pragma once

#include <cstdint>
#include <string>

namespace qb {

// The per-user setting that holds the hotkey control's value; 0 or none: no
// hotkey.
inline const std::string kHotkeySetting = "Hotkey";

// A hotkey as the system registers it: its modifiers (MOD_ALT 1,
// MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8) and its virtual key.
struct Hotkey {
    uint32_t modifiers = 0;
    uint32_t key = 0;
    bool operator==(const Hotkey& other) const { return modifiers == other.modifiers && key == other.key; }
};
constexpr uint32_t kModAlt = 0x1;
constexpr uint32_t kModControl = 0x2;
constexpr uint32_t kModShift = 0x4;
constexpr uint32_t kModWin = 0x8;

// The hotkey control's value (the virtual key in the low byte, HOTKEYF_*
// flags in the next) as the system registers it. The control's Shift and Alt
// bits are the other way round, and its extended-key bit (a key of the
// cursor block, not of the number pad) is the registration's Win bit: it is
// no modifier and is dropped. A value with no key is no hotkey.
Hotkey hotkeyFromControl(uint32_t value);

// "The hotkey Ctrl+Alt+Q is in use by another program.": the modifiers
// spelt Ctrl, Alt, Shift, Win, then the key's name as the system gives it.
std::string hotkeyInUseMessage(const Hotkey& hotkey, const std::string& keyName);

}  // namespace qb
