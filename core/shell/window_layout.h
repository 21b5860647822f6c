// The main window's geometry decisions: effective margins, the surface size
// and the scroll-bar ranges, computed without any widget.
#pragma once

#include <cstdint>

#include "platform/canvas.h"

namespace prambus {

struct SurfaceLayout {
  int width = 0;   // W: client width minus the vertical bar
  int height = 0;  // H: client height minus the horizontal bar and status bar
  int effX = 0;    // effective margins
  int effY = 0;
};

// clientHeight here excludes nothing; statusHeight is 0 when the bar is hidden.
SurfaceLayout ComputeSurfaceLayout(int clientWidth, int clientHeight, int vbarWidth, int hbarHeight,
                                   int statusHeight, int otstupX, int otstupY);

// A scroll bar in the Windows model: positions 0..maximum, the top position
// limited to maximum - page. Positions are 64-bit: a document's height in
// pixels may pass what an int holds.
struct ScrollRange {
  bool enabled = false;
  int64_t position = 0;
  int page = 0;
  int64_t maximum = 0;
  int smallChange = 1;
  bool runChangeHandler = false;  // only the page changed: the bar must clamp
};

// contentExtent: the view's content height (or width); viewExtent: its
// visible height (or width); surfaceExtent: H (or W); viewScroll: the view's
// scroll position on that axis.
ScrollRange ComputeScrollRange(const ScrollRange& current, int64_t contentExtent, int viewExtent,
                               int surfaceExtent, int margin, int64_t viewScroll, int lineStep);

// Clamps a bar position to maximum - page (and to 0).
int64_t ClampScrollPosition(int64_t position, const ScrollRange& range);

// A toolkit scroll bar counts in int. While the top position (maximum -
// page) fits an int its values are the positions themselves; beyond that
// they run 0..INT_MAX, each value standing for top / INT_MAX positions.
int BarMaximum(const ScrollRange& range);
// The bar value showing `position` (rounded down).
int BarValue(int64_t position, const ScrollRange& range);
// The position a bar value stands for: the range's own position when the bar
// shows that already (the bar's rounding never moves the view), the top
// position at the bar's end, otherwise the scaled value rounded down to a
// whole line step, so a dragged view starts at a row's top.
int64_t PositionFromBar(int value, const ScrollRange& range);
// A step of `pixels` as bar values (at least 1).
int BarStep(int pixels, const ScrollRange& range);

// Where a tool window of the given outer size opens at the pointer: centred
// on it horizontally with its top at the pointer (gap pixels below it), kept
// inside the work area of the pointer's screen; when its bottom would come
// closer than gap to the area's bottom it opens above the pointer instead,
// its bottom gap pixels above it.
Point PlaceAtPointer(Point pointer, int width, int height, const Rect& workArea, int gap = 0);

}  // namespace prambus
