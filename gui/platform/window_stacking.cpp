#include "window_stacking.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
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

void FollowTopmostWindows(QWidget* window) {
  const bool on = TopmostWindowShown(window);
  if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != on) SetStaysOnTop(window, on);
}

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

void ReshowOwnedToolWindows(QWidget* owner) {
  // Once the owner's new native window is in place (the next turn of the
  // event loop); each window shown again exactly where it was, by its
  // surface, so that the desktop does not place it by its frame.
  QTimer::singleShot(0, owner, [owner] {
    bool reshown = false;
    for (QWidget* w : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      // Dialogs are left alone: hiding the find window would bring the
      // owner's stay-on-top back in the middle of the change.
      if (!w->isWindow() || !w->isVisible() || qobject_cast<QDialog*>(w)) continue;
      const QRect surface = w->geometry();
      w->hide();
      if (QWindow* own = w->windowHandle()) own->setTransientParent(owner->windowHandle());
      w->setGeometry(surface);
      w->show();
      reshown = true;
    }
    if (reshown && owner->isVisible()) owner->activateWindow();  // the keyboard stays there
  });
}

void RestateStaysOnTop(QWidget* window) {
  // On the next turn, once the window is mapped; the desktop takes a change
  // of the state only, so the hint is taken off and given again.
  QTimer::singleShot(0, window, [window] {
    const Qt::WindowFlags flags = window->windowFlags();
    QWindow* handle = window->windowHandle();
    if (!handle || !window->isVisible() || !flags.testFlag(Qt::WindowStaysOnTopHint)) return;
    handle->setFlags(flags & ~Qt::WindowStaysOnTopHint);
    handle->setFlags(flags);
  });
}

void FrontAndFocused(QWidget* window, QWidget* focus) {
  window->raise();
  window->activateWindow();
  // The tab reason makes the style draw the focus, as after a Tab.
  if (focus) focus->setFocus(Qt::TabFocusReason);
}

}  // namespace prambus
