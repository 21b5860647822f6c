#include "shell/window_layout.h"

#include <algorithm>
#include <cstdint>

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

ScrollRange ComputeScrollRange(const ScrollRange& current, int contentExtent, int viewExtent,
                               int surfaceExtent, int margin, int viewScroll, int lineStep) {
  ScrollRange r = current;
  r.runChangeHandler = false;
  const int overflow = contentExtent + 2 * margin - surfaceExtent;
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

int ClampScrollPosition(int position, const ScrollRange& range) {
  return std::max(0, std::min(position, range.maximum - range.page));
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
