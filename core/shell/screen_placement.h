// Where windows open on a screen: the rules take the available area of the
// screen concerned (its work area, in screen pixels, right and bottom
// exclusive), so a window on a second screen or beside a panel stays whole.
#pragma once

#include "platform/canvas.h"

namespace prambus {

// Moves a width x height window at topLeft into the area: left when its
// right edge passes the area, then right when its left edge does; the same
// vertically. A window larger than the area keeps its top-left corner inside.
Point KeepInside(Point topLeft, int width, int height, const Rect& area);

// The dialogs opened at the mouse pointer (find, replace, "Число столбцов",
// recoding): horizontally centred on the pointer with the top `gap` pixels
// below the pointer, or with the bottom `gap` pixels above it when it would
// pass the area's bottom; kept in the area.
Point BelowPointer(Point pointer, int width, int height, const Rect& area, int gap = 0);

// Centred on a point (the middle of the main window), kept in the area.
Point CentredOn(Point centre, int width, int height, const Rect& area);

// A tool window at its saved place, unless it would cover `keepClear` (the
// part of the main window it reports on): then the nearest place beside
// that rectangle: right of it, else left, below or above, the first that
// lies in the area; when none does, the saved place kept in the area.
Point BesideRect(Point saved, int width, int height, const Rect& keepClear, const Rect& area);

}  // namespace prambus
