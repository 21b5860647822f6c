// The virtual-key codes that plug-ins use for keys (the key-down callback and
// hot-key strings), their names, and hot-key texts such as "Ctrl+Shift+F9".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace prambus {

// Shift state bits of hot keys and of the key dispatch.
enum ShiftStateBits : uint8_t { kShiftBit = 1, kAltBit = 2, kCtrlBit = 4 };

struct HotKey {
  uint16_t virtualKey = 0;
  uint8_t shiftState = 0;  // ShiftStateBits
  bool operator==(const HotKey&) const = default;
};

// The key's name as hot-key texts spell it ("F9", "PgUp", "A", "Num 5"), or
// empty for a code that names no key.
std::string VirtualKeyName(int virtualKey);
bool IsKnownVirtualKey(int virtualKey);

// Reads a hot-key text: modifiers "Ctrl+", "Shift+", "Alt+" in any order,
// then one key; names ignore case and the spaces around "+". Nothing for a
// text that names no key, repeats a modifier or has anything left over.
std::optional<HotKey> ParseHotKey(std::string_view text);

// The canonical text of a hot key, as ParseHotKey reads it back.
std::string HotKeyText(const HotKey& key);

// The shift state of the key-down callback's flags (bit 0 Shift, bit 1 Ctrl,
// bit 2 Alt); nothing when other bits are set.
std::optional<uint8_t> ShiftStateFromKeyFlags(int flags);

}  // namespace prambus
