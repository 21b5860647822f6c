#include "shell/wheel_steps.h"

namespace prambus {

int WheelSteps::Add(int delta) {
  if (delta == 0) return 0;
  if ((delta > 0) != (pending_ > 0) && pending_ != 0) pending_ = 0;
  pending_ += delta;
  const int64_t steps = pending_ / kDeltaPerStep;  // toward zero: the rest waits
  pending_ -= steps * kDeltaPerStep;
  return static_cast<int>(steps);
}

}  // namespace prambus
