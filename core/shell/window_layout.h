// The main window's geometry decisions: effective margins, the surface size
// and the scroll-bar ranges, computed without any widget.
#pragma once

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
// limited to maximum - page.
struct ScrollRange {
  bool enabled = false;
  int position = 0;
  int page = 0;
  int maximum = 0;
  int smallChange = 1;
  bool runChangeHandler = false;  // only the page changed: the bar must clamp
};

// contentExtent: the view's content height (or width); viewExtent: its
// visible height (or width); surfaceExtent: H (or W); viewScroll: the view's
// scroll position on that axis.
ScrollRange ComputeScrollRange(const ScrollRange& current, int contentExtent, int viewExtent,
                               int surfaceExtent, int margin, int viewScroll, int lineStep);

// Clamps a bar position to maximum - page (and to 0).
int ClampScrollPosition(int position, const ScrollRange& range);

// Where a tool window of the given outer size opens at the pointer: centred
// on it horizontally with its top at the pointer (gap pixels below it), kept
// inside the work area of the pointer's screen; when its bottom would come
// closer than gap to the area's bottom it opens above the pointer instead,
// its bottom gap pixels above it.
Point PlaceAtPointer(Point pointer, int width, int height, const Rect& workArea, int gap = 0);

}  // namespace prambus
