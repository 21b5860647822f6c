#include "shell/window_layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace prambus {

SurfaceLayout ComputeSurfaceLayout(int clientWidth, int clientHeight, int vbarWidth, int hbarHeight,
                                   int statusHeight, int otstupX, int otstupY) {
  SurfaceLayout l;
  l.effX = otstupX;
  l.effY = otstupY;
  // Margins may be as large as an int holds: twice them is counted in 64 bits.
  int w = clientWidth - vbarWidth;
  if (w - 2 * int64_t{l.effX} < 0) {
    l.effX = w / 2;  // rounded toward zero
    if (w < 0) l.effX -= 1;
  }
  int h = clientHeight - hbarHeight - statusHeight;
  if (h - 2 * int64_t{l.effY} < 0) {
    l.effY = h >= 0 ? h / 2 : -((-h + 1) / 2);  // rounded down
    if (h < 0) h = 0;
  }
  l.width = std::max(0, w);
  l.height = std::max(0, h);
  return l;
}

ScrollRange ComputeScrollRange(const ScrollRange& current, int64_t contentExtent, int viewExtent,
                               int surfaceExtent, int margin, int64_t viewScroll, int lineStep) {
  ScrollRange r = current;
  r.runChangeHandler = false;
  const int64_t overflow = contentExtent + 2 * int64_t{margin} - surfaceExtent;
  if (overflow <= 0) {
    r.enabled = false;
    r.position = 0;
    return r;
  }
  r.enabled = true;
  if (contentExtent < r.position) r.position = viewScroll;
  const bool sameMaximum = r.maximum == contentExtent;
  const bool pageChanged = r.page != viewExtent;
  r.page = viewExtent;
  r.maximum = contentExtent;
  if (sameMaximum && pageChanged) r.runChangeHandler = true;
  r.smallChange = std::max(1, lineStep);
  return r;
}

int64_t ClampScrollPosition(int64_t position, const ScrollRange& range) {
  return std::max<int64_t>(0, std::min(position, range.maximum - range.page));
}

namespace {
constexpr int64_t kIntMax = std::numeric_limits<int>::max();

int64_t TopPosition(const ScrollRange& range) {
  return std::max<int64_t>(0, range.maximum - range.page);
}

// value * top / kIntMax rounded down, for value <= kIntMax, without overflow
// (top may be as large as rows times the row height).
int64_t Scale(int64_t value, int64_t top) {
  return value * (top / kIntMax) + value * (top % kIntMax) / kIntMax;
}
}  // namespace

int BarMaximum(const ScrollRange& range) {
  return static_cast<int>(std::min(TopPosition(range), kIntMax));
}

int BarValue(int64_t position, const ScrollRange& range) {
  const int64_t top = TopPosition(range);
  const int64_t p = std::clamp<int64_t>(position, 0, top);
  if (top <= kIntMax) return static_cast<int>(p);
  // The largest value whose position is not past p: a value stands for the
  // positions from Scale(value) up to the next value's.
  int64_t v = static_cast<int64_t>(static_cast<long double>(p) * kIntMax / top);
  v = std::clamp<int64_t>(v, 0, kIntMax);
  while (v > 0 && Scale(v, top) > p) --v;
  while (v < kIntMax && Scale(v + 1, top) <= p) ++v;
  return static_cast<int>(v);
}

int64_t PositionFromBar(int value, const ScrollRange& range) {
  const int64_t top = TopPosition(range);
  const int64_t v = std::clamp<int64_t>(value, 0, BarMaximum(range));
  if (BarValue(range.position, range) == v) return ClampScrollPosition(range.position, range);
  if (top <= kIntMax) return v;
  if (v == kIntMax) return top;
  const int64_t step = std::max(1, range.smallChange);
  const int64_t p = Scale(v, top);
  return p - p % step;
}

int BarStep(int pixels, const ScrollRange& range) {
  const int64_t top = TopPosition(range);
  if (top <= kIntMax) return std::max(1, pixels);
  return static_cast<int>(std::max<int64_t>(1, std::max(0, pixels) * kIntMax / top));
}

Point PlaceAtPointer(Point pointer, int width, int height, const Rect& area, int gap) {
  int left = pointer.x - width / 2;
  int top = pointer.y + gap;
  if (left + width > area.right) left = area.right - width;
  if (left < area.left) left = area.left;
  if (top + height + gap > area.bottom) top = pointer.y - height - gap;
  if (top < area.top) top = area.top;
  return {left, top};
}

}  // namespace prambus
