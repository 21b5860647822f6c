#include "shell/screen_placement.h"

#include <algorithm>

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

Point BelowPointer(Point pointer, int width, int height, const Rect& area, int gap) {
  Point p{pointer.x - width / 2, pointer.y + gap};
  if (p.y + height > area.bottom) p.y = pointer.y - height - gap;
  return KeepInside(p, width, height, area);
}

Point CentredOn(Point centre, int width, int height, const Rect& area) {
  return KeepInside({centre.x - width / 2, centre.y - height / 2}, width, height, area);
}

Point BesideRect(Point saved, int width, int height, const Rect& keepClear, const Rect& area) {
  const Point kept = KeepInside(saved, width, height, area);
  auto at = [&](Point p) { return Rect{p.x, p.y, p.x + width, p.y + height}; };
  if (!Overlap(at(kept), keepClear)) return kept;
  // Beside the rectangle: right of it, else left, at the saved height slid
  // into the area; else below or above, the saved left edge slid into it.
  const int sideways[] = {keepClear.right, keepClear.left - width};
  for (int x : sideways) {
    const Point p{x, kept.y};
    if (Inside(at(p), area) && !Overlap(at(p), keepClear)) return p;
  }
  const int upDown[] = {keepClear.bottom, keepClear.top - height};
  for (int y : upDown) {
    const Point p{kept.x, y};
    if (Inside(at(p), area) && !Overlap(at(p), keepClear)) return p;
  }
  return kept;
}

}  // namespace prambus
