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
  return window->frameGeometry().size().expandedTo(window->size());
}

}  // namespace prambus
