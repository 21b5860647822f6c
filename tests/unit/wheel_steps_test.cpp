// Wheel turns in whole steps: 120 per step, fine turns adding up, a turn the
// other way starting afresh.
#include "shell/wheel_steps.h"

#include <gtest/gtest.h>

#include <climits>

namespace prambus {
namespace {

TEST(WheelSteps, NotchesFineTurnsAndReversals) {
  WheelSteps w;
  EXPECT_EQ(w.Add(120), 1);
  EXPECT_EQ(w.Add(-240), -2);
  EXPECT_EQ(w.Add(0), 0);
  // A touchpad: 40 at a time makes a step every third event.
  EXPECT_EQ(w.Add(40), 0);
  EXPECT_EQ(w.Add(40), 0);
  EXPECT_EQ(w.Add(40), 1);
  EXPECT_EQ(w.Add(100), 0);
  EXPECT_EQ(w.Add(100), 1);  // 80 carried over
  // Turning back drops what was pending the other way.
  EXPECT_EQ(w.Add(-60), 0);
  EXPECT_EQ(w.Add(-60), -1);
  w.Add(90);
  w.Reset();
  EXPECT_EQ(w.Add(60), 0);
  // Extreme deltas neither overflow nor lose their sign.
  EXPECT_EQ(w.Add(INT_MAX), INT_MAX / 120);
  WheelSteps v;
  EXPECT_EQ(v.Add(INT_MIN), INT_MIN / 120);
}

}  // namespace
}  // namespace prambus
