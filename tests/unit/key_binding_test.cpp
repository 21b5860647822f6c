// Key bindings: which presses each kind of binding takes, and which pairs
// of bindings could take the same press.
#include "shell/key_binding.h"

#include <gtest/gtest.h>

namespace prambus {
namespace {

constexpr int kKey = 0x59, kOtherKey = 0x5A;

TEST(KeyBinding, EachKindTakesItsPresses) {
  const KeyBinding exact{kKey, kStateCtrl | kStateShift, KeyMatch::kExact};
  EXPECT_TRUE(Matches(exact, kKey, kStateCtrl | kStateShift));
  EXPECT_FALSE(Matches(exact, kKey, kStateCtrl));
  EXPECT_FALSE(Matches(exact, kKey, kStateCtrl | kStateShift | kStateAlt));
  EXPECT_FALSE(Matches(exact, kOtherKey, kStateCtrl | kStateShift));
  const KeyBinding withCtrl{kKey, kStateCtrl, KeyMatch::kCtrlHeld};
  EXPECT_TRUE(Matches(withCtrl, kKey, kStateCtrl));
  EXPECT_TRUE(Matches(withCtrl, kKey, kStateCtrl | kStateAlt | kStateShift));
  EXPECT_FALSE(Matches(withCtrl, kKey, kStateShift | kStateAlt));
  EXPECT_FALSE(Matches(withCtrl, kKey, 0));
  const KeyBinding otherwise{kKey, 0, KeyMatch::kOtherwise};
  for (uint8_t state = 0; state < 8; ++state) EXPECT_TRUE(Matches(otherwise, kKey, state));
  EXPECT_FALSE(Matches(otherwise, kOtherKey, 0));
}

TEST(KeyBinding, OnlyBindingsOfOneKindAndKeyCompete) {
  const KeyBinding ctrl{kKey, kStateCtrl, KeyMatch::kExact};
  EXPECT_TRUE(Compete(ctrl, ctrl));
  EXPECT_FALSE(Compete(ctrl, {kKey, kStateShift, KeyMatch::kExact}));
  EXPECT_FALSE(Compete(ctrl, {kOtherKey, kStateCtrl, KeyMatch::kExact}));
  // A stricter binding takes its presses before a looser one is asked.
  EXPECT_FALSE(Compete(ctrl, {kKey, kStateCtrl, KeyMatch::kCtrlHeld}));
  EXPECT_FALSE(Compete(ctrl, {kKey, 0, KeyMatch::kOtherwise}));
  // Two meanings of a key whatever is held compete, whatever state they name.
  EXPECT_TRUE(Compete({kKey, 0, KeyMatch::kOtherwise}, {kKey, kStateAlt, KeyMatch::kOtherwise}));
  EXPECT_TRUE(Compete({kKey, 0, KeyMatch::kCtrlHeld}, {kKey, kStateCtrl, KeyMatch::kCtrlHeld}));
}

}  // namespace
}  // namespace prambus
