#include "window_stacking.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

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

namespace {
// A shown window keeps its native window: recreating it for the flag would
// hide and show it, and take the activation with it.
void SetStaysOnTop(QWidget* window, bool on) {
  Qt::WindowFlags flags = window->windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, on);
  if (QWindow* handle = window->windowHandle()) {
    window->overrideWindowFlags(flags);
    handle->setFlags(flags);
  } else {
    window->setWindowFlags(flags);
  }
}
}  // namespace

std::vector<QPointer<QWidget>> LowerTopmostWindows(const QWidget* except) {
  std::vector<QPointer<QWidget>> lowered;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == except || !w->isVisible() || !w->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
      continue;
    SetStaysOnTop(w, false);
    lowered.emplace_back(w);
  }
  return lowered;
}

void RaiseTopmostWindowsAgain(const std::vector<QPointer<QWidget>>& windows) {
  for (const QPointer<QWidget>& w : windows)
    if (w) SetStaysOnTop(w, true);
}

void FrontAndFocused(QWidget* window, QWidget* focus) {
  window->raise();
  window->activateWindow();
  // The tab reason makes the style draw the focus, as after a Tab.
  if (focus) focus->setFocus(Qt::TabFocusReason);
}

}  // namespace prambus
