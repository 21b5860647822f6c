#include "window_stacking.h"

#include <QApplication>
#include <QWidget>

namespace prambus {

bool TopmostWindowShown(const QWidget* except) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w != except && w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
      return true;
  }
  return false;
}

void KeepAboveTopmostWindows(QWidget* window) {
  if (TopmostWindowShown(window)) window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void FrontAndFocused(QWidget* window, QWidget* focus) {
  window->raise();
  window->activateWindow();
  // The tab reason makes the style draw the focus, as after a Tab.
  if (focus) focus->setFocus(Qt::TabFocusReason);
}

}  // namespace prambus
