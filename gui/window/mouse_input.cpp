// The mouse on the surface: clicks and drags move the cursor and select,
// a double click selects a word, the wheel scrolls (a page half with the
// middle button held), and a drag past the edge scrolls by itself.
#include <QMouseEvent>
#include <QWheelEvent>

#include "main_window.h"
#include "settings/settings.h"
#include "surface_widget.h"

namespace prambus {

MainWindow::DocumentPoint MainWindow::ContentPoint(int x, int y) const {
  return {x + view_->ScrollX() - Cfg().EffOtstupX, y + view_->ScrollY() - Cfg().EffOtstupY};
}

void MainWindow::MousePress(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if ((vbar_->isVisible() && p.x() >= vbar_->x()) || (hbar_->isVisible() && p.y() >= hbar_->y()))
    return;
  if (e->button() == Qt::MiddleButton) middleHeld_ = true;
  if (e->button() != Qt::LeftButton || !view_) return;
  desiredColumn_ = -1;
  leftDrag_ = true;
  lastMouse_ = p;
  const DocumentPoint c = ContentPoint(p.x(), p.y());
  HideCaret();
  view_->MoveToPoint(c.x, c.y, true, e->modifiers() & Qt::ShiftModifier);
  SyncAfterMove();
}

void MainWindow::MouseMove(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  lastMouse_ = p;
  const int ex = Cfg().EffOtstupX, ey = Cfg().EffOtstupY;
  const QRect textArea(ex, ey, surface_.width(), surface_.height());
  central_->setCursor(textArea.contains(p) ? Qt::IBeamCursor : Qt::ArrowCursor);
  if (!leftDrag_ || !view_ || passRunning_) return;
  const int w = surface_.width(), h = surface_.height();
  distTop_ = 2 - p.y();
  distBottom_ = p.y() - h + 2;
  distLeft_ = 2 - p.x();
  distRight_ = p.x() - w + 2;
  const int x = std::clamp(p.x(), 0, w), y = std::clamp(p.y(), 0, h);
  const DocumentPoint c = ContentPoint(x, y);
  const int oldCol = view_->CursorColumn(), oldRow = view_->CursorRow();
  HideCaret();
  view_->MoveToPoint(c.x, c.y, false, true);
  if (oldCol != view_->CursorColumn() || oldRow != view_->CursorRow()) Redraw();
  ToggleCaret();
}

void MainWindow::MouseRelease(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) middleHeld_ = false;
  distTop_ = distBottom_ = distLeft_ = distRight_ = 0;
  accH_ = accV_ = 0;
  if (!(leftDrag_ && e->button() == Qt::LeftButton && view_)) return;
  leftDrag_ = false;
  HideCaret();
  if (central_->cursor().shape() == Qt::IBeamCursor) {
    const QPoint p = e->position().toPoint();
    const DocumentPoint c = ContentPoint(std::clamp(p.x(), 0, surface_.width()),
                                         std::clamp(p.y(), 0, surface_.height()));
    view_->MoveToPoint(c.x, c.y, false, true);
  } else {
    RecomputeScrollRanges();
  }
  SyncAfterMove();
}

void MainWindow::MouseDoubleClick(QMouseEvent* e) {
  if (!view_ || e->button() != Qt::LeftButton) return;
  HideCaret();
  view_->SelectWord();
  SyncAfterMove();
  leftDrag_ = false;
}

// One step (a line, or half a page with the middle button held) per 120 of
// the wheel's turn, however finely the wheel reports it.
void MainWindow::Wheel(QWheelEvent* e) {
  if (!vbar_->isEnabled()) {
    wheelSteps_.Reset();
    return;
  }
  const int steps = wheelSteps_.Add(e->angleDelta().y());
  if (steps == 0) return;
  const int step = middleHeld_ ? vLargeChange_ / 2 : vrange_.smallChange;
  ScrollVerticallyTo(vrange_.position - int64_t{steps} * step);
}

void MainWindow::AutoScrollTick() {
  if (!leftDrag_ || !view_) return;
  auto speed = [](int d) { return std::min(static_cast<double>(d), 70.0); };
  bool moved = false;
  auto scroll = [&](QScrollBar* bar, double& acc, int before, int after) {
    if (!bar->isEnabled()) return;
    if (before > 0 && bar->value() > 0) {
      acc -= speed(before);
      if (acc > 0) acc = 0;
      if (acc <= -1) {
        const int whole = static_cast<int>(acc);
        bar->setValue(bar->value() + whole);
        acc -= whole;
        moved = true;
      }
    }
    if (after > 0 && bar->value() < bar->maximum()) {
      acc += speed(after);
      if (acc < 0) acc = 0;
      if (acc >= 1) {
        const int whole = static_cast<int>(acc);
        bar->setValue(bar->value() + whole);
        acc -= whole;
        moved = true;
      }
    }
    if (before < 0 && after < 0) acc = 0;
  };
  scroll(vbar_, accV_, distTop_, distBottom_);
  scroll(hbar_, accH_, distLeft_, distRight_);
  if (moved) {
    QMouseEvent again(QEvent::MouseMove, QPointF(lastMouse_), QPointF(lastMouse_), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    MouseMove(&again);
  }
}

}  // namespace prambus
