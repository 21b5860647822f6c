// The mouse wheel in whole scroll steps. Wheels report turns in eighths of a
// degree, 120 to a notch of a common wheel; fine wheels and touchpads report
// a little at a time. Turns add up until they make a whole step, so every
// wheel scrolls one step per 120; turning the other way starts afresh.
#pragma once

#include <cstdint>

namespace prambus {

class WheelSteps {
 public:
  static constexpr int kDeltaPerStep = 120;

  // The whole steps this turn completes: positive away from the user.
  int Add(int delta);
  void Reset() { pending_ = 0; }

 private:
  int64_t pending_ = 0;
};

}  // namespace prambus
