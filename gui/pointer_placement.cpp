#include "pointer_placement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "shell/dialog_placement.h"

namespace prambus {

void PlaceAtMousePointer(QWidget* dialog) {
  const QPoint pointer = QCursor::pos();
  QScreen* screen = QGuiApplication::screenAt(pointer);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect s = screen->geometry();
  const QSize size = dialog->frameGeometry().size();
  const Point p = PlaceAtPointer({pointer.x(), pointer.y()}, size.width(), size.height(),
                                 s.x() + s.width(), s.y() + s.height());
  dialog->move(p.x, p.y);
}

}  // namespace prambus
