// Scroll ranges of documents of any height, and the int scroll bar that
// shows them: one for one while the top position fits an int, scaled past it.
#include <gtest/gtest.h>

#include <climits>

#include "shell/window_layout.h"

namespace prambus {
namespace {

ScrollRange RangeWithTop(int64_t top, int page = 1000, int step = 16) {
  ScrollRange r = ComputeScrollRange({}, top + page, page, page, 0, 0, step);
  EXPECT_TRUE(r.enabled);
  EXPECT_EQ(r.maximum - r.page, top);
  return r;
}

TEST(ScrollRangeTest, ContentTallerThanAnIntEnablesTheBar) {
  const int64_t content = int64_t{16} << 32;
  const ScrollRange r = ComputeScrollRange({}, content, 800, 800, 5, 0, 16);
  EXPECT_TRUE(r.enabled);
  EXPECT_EQ(r.maximum, content);
  EXPECT_EQ(ClampScrollPosition(content, r), content - 800);
  EXPECT_EQ(ClampScrollPosition(-1, r), 0);
}

TEST(ScrollRangeTest, BarCountsPositionsWhileTheTopFitsAnInt) {
  ScrollRange r = RangeWithTop(INT_MAX);
  EXPECT_EQ(BarMaximum(r), INT_MAX);
  EXPECT_EQ(BarValue(INT_MAX, r), INT_MAX);
  EXPECT_EQ(BarValue(12345, r), 12345);
  EXPECT_EQ(PositionFromBar(12345, r), 12345);
  // A value below the bar's range (a widget may hand one over) is its top.
  r.position = 500;
  EXPECT_EQ(PositionFromBar(-1, r), 0);
  EXPECT_EQ(BarStep(1000, r), 1000);
}

TEST(ScrollRangeTest, BarScalesPastTheIntRange) {
  // One past an int: the bar's end is the top, and no value stands for more
  // than the top.
  ScrollRange r = RangeWithTop(int64_t{INT_MAX} + 1);
  EXPECT_EQ(BarMaximum(r), INT_MAX);
  EXPECT_EQ(BarValue(r.maximum - r.page, r), INT_MAX);
  EXPECT_EQ(PositionFromBar(INT_MAX, r), int64_t{INT_MAX} + 1);
  EXPECT_EQ(BarValue(int64_t{INT_MAX}, r), INT_MAX - 1);

  // A tall document: 2^31 rows of 64 px.
  const int64_t top = (int64_t{1} << 37) - 1000;
  r = RangeWithTop(top, 1000, 64);
  EXPECT_EQ(BarMaximum(r), INT_MAX);
  EXPECT_EQ(BarValue(0, r), 0);
  EXPECT_EQ(BarValue(top, r), INT_MAX);
  EXPECT_EQ(PositionFromBar(INT_MAX, r), top);  // dragged to the end: the document's end
  EXPECT_EQ(PositionFromBar(0, r), 0);
  for (int v : {1, 2, 1000, INT_MAX / 2, INT_MAX - 1}) {
    const int64_t p = PositionFromBar(v, r);
    EXPECT_EQ(p % 64, 0) << v;  // a row's top
    EXPECT_LE(p, top);
    EXPECT_LE(BarValue(p, r), v);  // the row shown is at or above the bar
    EXPECT_GE(BarValue(p + 64, r), v);
  }
  EXPECT_LT(PositionFromBar(INT_MAX / 2, r), PositionFromBar(INT_MAX / 2 + 1000, r));
  EXPECT_EQ(BarStep(1000, r), 1000 * int64_t{INT_MAX} / top);
  EXPECT_EQ(BarStep(1, r), 1);
}

TEST(ScrollRangeTest, BarRoundingNeverMovesTheView) {
  ScrollRange r = RangeWithTop(int64_t{1} << 40);
  r.position = (int64_t{1} << 39) + 7;  // not where any bar value maps to
  EXPECT_EQ(PositionFromBar(BarValue(r.position, r), r), r.position);
  r.position = (int64_t{1} << 41);  // past the top after the page grew
  EXPECT_EQ(PositionFromBar(BarValue(r.position, r), r), int64_t{1} << 40);
}

// A step of one line (an arrow of the bar) kept as the range's position
// survives the bar's value, whether the scale packs several lines into one
// value or spreads one line over several values.
TEST(ScrollRangeTest, ALineStepSurvivesTheBarsScale) {
  for (const int64_t top : {int64_t{3} << 30, int64_t{1} << 40}) {
    ScrollRange r = RangeWithTop(top, 1000, 19);
    for (int64_t from : {int64_t{0}, top / 3 + 5, top - 40}) {
      r.position = from;
      const int before = BarValue(from, r);
      r.position = ClampScrollPosition(from + r.smallChange, r);
      EXPECT_EQ(r.position, from + 19);
      const int value = BarValue(r.position, r);
      EXPECT_GE(value, before);
      EXPECT_EQ(PositionFromBar(value, r), from + 19);
    }
  }
}

}  // namespace
}  // namespace prambus
