#include "shell/key_binding.h"

namespace prambus {

bool Matches(const KeyBinding& b, int key, uint8_t state) {
  if (key != b.key) return false;
  switch (b.match) {
    case KeyMatch::kExact:
      return state == b.state;
    case KeyMatch::kCtrlHeld:
      return (state & kStateCtrl) != 0;
    case KeyMatch::kOtherwise:
      return true;
  }
  return false;
}

bool Compete(const KeyBinding& a, const KeyBinding& b) {
  if (a.key != b.key || a.match != b.match) return false;
  return a.match != KeyMatch::kExact || a.state == b.state;
}

}  // namespace prambus
