// The layout an edit leaves for later (a key in a long paragraph without
// break opportunities lays out only the rows around it): the rest is laid out
// in steps from the event loop, after the edit's frame, each step short
// enough that a key waits for it no longer than for a frame.
#include <QElapsedTimer>

#include "main_window.h"

namespace prambus {
namespace {
constexpr size_t kLayoutSliceBytes = size_t(256) << 10;
constexpr qint64 kLayoutStepMs = 8;
}  // namespace

// A zero-interval timer runs once the posted events (the frame among them)
// are delivered.
void MainWindow::ContinueLayoutLater() {
  // Not inside a pass that serves events: the rows stay as it found them.
  if (passRunning_) return;
  if (view_ && view_->PendingLayoutRow() >= 0 && !layoutTimer_->isActive()) layoutTimer_->start();
}

void MainWindow::LayoutStep() {
  const int first = view_ && !Loading() && !passRunning_ ? view_->PendingLayoutRow() : -1;
  if (first < 0) {
    layoutTimer_->stop();
    return;
  }
  const int64_t lastShown =
      (view_->ScrollY() + view_->ViewHeight()) / std::max(1, view_->LineHeight());
  const int cursorRow = view_->CursorRow(), rowsBefore = view_->RowCount();
  QElapsedTimer clock;
  clock.start();
  bool done = false;
  while (!done && clock.elapsed() < kLayoutStepMs) done = view_->ContinueLayout(kLayoutSliceBytes);
  if (done) layoutTimer_->stop();
  // The scroll ranges follow the row count, the status bar the cursor's row;
  // the view is drawn again when rows on screen were laid out again.
  if (view_->RowCount() != rowsBefore) {
    RecomputeScrollRanges();
    SyncScrollBars();
  }
  if (view_->CursorRow() != cursorRow) RefreshStatusBar();
  if (first <= lastShown || view_->CursorRow() != cursorRow) {
    HideCaret();
    Redraw();
    ToggleCaret();
  }
}

}  // namespace prambus
