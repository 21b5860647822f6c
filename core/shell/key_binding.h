// A key bound to a command, as the window's key dispatch matches presses:
// the toolkit's key code, the modifiers as shift-state bits (Shift 1, Alt 2,
// Ctrl 4) and how strictly they must agree. A press is looked for among the
// exact bindings first, then those that only need Ctrl held, then those of
// the key whatever is held; so bindings compete only within one of these.
#pragma once

#include <cstdint>

namespace prambus {

enum class KeyMatch : uint8_t {
  kExact,      // exactly these modifiers
  kCtrlHeld,   // Ctrl held, with or without the others
  kOtherwise,  // any modifiers no stricter binding of the key takes
};

struct KeyBinding {
  int key = 0;
  uint8_t state = 0;  // for kExact only
  KeyMatch match = KeyMatch::kExact;
};

inline constexpr uint8_t kStateShift = 1, kStateAlt = 2, kStateCtrl = 4;

// Whether a press of the key with these modifiers is the binding's.
bool Matches(const KeyBinding& binding, int key, uint8_t state);

// Whether one press could be taken by both: the same key, the same kind of
// match and, for exact bindings, the same modifiers.
bool Compete(const KeyBinding& a, const KeyBinding& b);

}  // namespace prambus
