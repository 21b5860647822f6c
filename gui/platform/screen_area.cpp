#include "screen_area.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace prambus {

Rect AvailableAreaAt(QPoint point, const QWidget* near) {
  QScreen* screen = QGuiApplication::screenAt(point);
  if (!screen && near) screen = near->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return ToRect(screen->availableGeometry());
}

QPoint CentreOf(const QWidget* window) {
  return window->frameGeometry().center();
}

QSize FrameSizeOf(const QWidget* window) {
  const QSize framed = window->frameGeometry().size();
  if (framed != window->size()) return framed;
  // Not shown yet: its frame is unknown; the desktop frames the program's
  // windows alike, so take the frame of the shown window it belongs to.
  for (const QWidget* w = window->parentWidget(); w; w = w->parentWidget()) {
    if (!w->isWindow() || !w->isVisible()) continue;
    return window->size() + (w->frameGeometry().size() - w->size());
  }
  return window->size();
}

}  // namespace prambus
