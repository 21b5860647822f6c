#include "shell/screen_placement.h"

#include <algorithm>
#include <cstdlib>

namespace prambus {

namespace {
bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
bool Inside(const Rect& r, const Rect& area) {
  return r.left >= area.left && r.top >= area.top && r.right <= area.right &&
         r.bottom <= area.bottom;
}
}  // namespace

Point KeepInside(Point p, int width, int height, const Rect& area) {
  if (p.x + width > area.right) p.x = area.right - width;
  if (p.x < area.left) p.x = area.left;
  if (p.y + height > area.bottom) p.y = area.bottom - height;
  if (p.y < area.top) p.y = area.top;
  return p;
}

Point BelowPointer(Point pointer, int width, int height, const Rect& area) {
  Point p{pointer.x - width / 2, pointer.y};
  if (p.y + height > area.bottom) p.y = pointer.y - height;
  return KeepInside(p, width, height, area);
}

Point CentredOn(Point centre, int width, int height, const Rect& area) {
  return KeepInside({centre.x - width / 2, centre.y - height / 2}, width, height, area);
}

Point BesideRect(Point saved, int width, int height, const Rect& keepClear, const Rect& area) {
  const Point kept = KeepInside(saved, width, height, area);
  auto at = [&](Point p) { return Rect{p.x, p.y, p.x + width, p.y + height}; };
  if (!Overlap(at(kept), keepClear)) return kept;
  // Beside the rectangle, as near to the saved place as the area allows.
  const Point candidates[] = {
      {keepClear.right, kept.y},
      {keepClear.left - width, kept.y},
      {kept.x, keepClear.bottom},
      {kept.x, keepClear.top - height},
  };
  bool found = false;
  Point best = kept;
  long bestDistance = 0;
  for (Point c : candidates) {
    // Slide along the side into the area; the side itself must not move.
    Point p = c;
    if (c.x == kept.x) p.x = KeepInside(c, width, height, area).x;
    if (c.y == kept.y) p.y = KeepInside(c, width, height, area).y;
    if (!Inside(at(p), area) || Overlap(at(p), keepClear)) continue;
    const long d =
        std::labs(static_cast<long>(p.x) - saved.x) + std::labs(static_cast<long>(p.y) - saved.y);
    if (!found || d < bestDistance) {
      found = true;
      best = p;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace prambus
