// Where windows open: inside the work area of the screen concerned, which
// may lie right of or below another screen and beside a panel.
#include "shell/screen_placement.h"

#include <gtest/gtest.h>

namespace prambus {
namespace {

// A second screen right of a 1920-pixel one, with a 30-pixel panel on top.
const Rect kSecond{1920, 30, 1920 + 1280, 1024};

TEST(ScreenPlacement, AtThePointerOnAnyScreen) {
  // Centred under the pointer, its top at the pointer.
  EXPECT_EQ(BelowPointer({2500, 400}, 300, 200, kSecond), (Point{2350, 400}));
  // Near the bottom: its bottom at the pointer instead.
  EXPECT_EQ(BelowPointer({2500, 900}, 300, 200, kSecond), (Point{2350, 700}));
  // Near the left and right edges of this screen, not of the first one.
  EXPECT_EQ(BelowPointer({1930, 400}, 300, 200, kSecond), (Point{1920, 400}));
  EXPECT_EQ(BelowPointer({3190, 400}, 300, 200, kSecond), (Point{2900, 400}));
  // Below the panel even when the pointer is on it.
  EXPECT_EQ(BelowPointer({2500, 100}, 300, 1000, kSecond), (Point{2350, 30}));
  // A pixel off the pointer, below it or above it.
  EXPECT_EQ(BelowPointer({2500, 400}, 300, 200, kSecond, 1), (Point{2350, 401}));
  EXPECT_EQ(BelowPointer({2500, 900}, 300, 200, kSecond, 1), (Point{2350, 699}));
}

TEST(ScreenPlacement, CentredAndKeptInside) {
  EXPECT_EQ(CentredOn({2560, 527}, 400, 300, kSecond), (Point{2360, 377}));
  EXPECT_EQ(CentredOn({3100, 1000}, 400, 300, kSecond), (Point{2800, 724}));
  // Larger than the area: the top-left corner stays inside.
  EXPECT_EQ(KeepInside({1800, 0}, 2000, 2000, kSecond), (Point{1920, 30}));
  EXPECT_EQ(KeepInside({-50, -50}, 100, 100, {0, 0, 800, 600}), (Point{0, 0}));
}

TEST(ScreenPlacement, AToolWindowStaysClearOfWhatItReportsOn) {
  const Rect area{0, 0, 1024, 768};
  const Rect column{600, 100, 760, 500};
  // Clear of it already: the saved place.
  EXPECT_EQ(BesideRect({780, 550}, 200, 150, column, area), (Point{780, 550}));
  // Over it: beside it on the right, at the saved height.
  EXPECT_EQ(BesideRect({650, 200}, 200, 150, column, area), (Point{760, 200}));
  // No room on the right: on the left.
  EXPECT_EQ(BesideRect({650, 200}, 300, 150, column, area), (Point{300, 200}));
  // Wider than either side: below it, slid into the area.
  EXPECT_EQ(BesideRect({650, 200}, 700, 150, column, area), (Point{324, 500}));
  // No place at all: the saved place, kept in the area.
  EXPECT_EQ(BesideRect({650, 200}, 1000, 700, column, area), (Point{24, 68}));
}

}  // namespace
}  // namespace prambus
