// The available area (work area) of the screen that holds a point, and the
// placing of a window by the rules of shell/screen_placement.h.
#pragma once

#include <QPoint>
#include <QRect>

#include "platform/canvas.h"

class QWidget;

namespace prambus {

// The work area of the screen holding point; when no screen holds it, that
// of the screen of `near` (or the primary screen).
Rect AvailableAreaAt(QPoint point, const QWidget* near = nullptr);

// The middle of a window's frame.
QPoint CentreOf(const QWidget* window);

// The size of a window with its frame; before it is first shown, with the
// frame of the shown window that owns it.
QSize FrameSizeOf(const QWidget* window);

inline Point ToPoint(QPoint p) {
  return {p.x(), p.y()};
}
inline QPoint ToQPoint(Point p) {
  return {p.x, p.y};
}
inline Rect ToRect(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace prambus
