// The scroll bars of the main window: their ranges from the view's document
// size, and keeping them and the view's scroll position together. The view's
// positions are 64-bit; the bars show them through BarValue/PositionFromBar.
#include "main_window.h"
#include "settings/settings.h"

namespace prambus {

void MainWindow::RecomputeScrollRanges() {
  if (!view_) return;
  const int surfaceH = surface_.height(), surfaceW = surface_.width();
  const int lh = view_->LineHeight();
  const ScrollRange v = ComputeScrollRange(vrange_, view_->GetDocumentHeight(), view_->ViewHeight(),
                                           surfaceH, Cfg().EffOtstupY, view_->ScrollY(), lh);
  const ScrollRange h =
      ComputeScrollRange(hrange_, view_->GetDocumentWidth(), view_->ViewWidth(), surfaceW,
                         Cfg().EffOtstupX, view_->ScrollX(), view_->CharWidth(' '));
  auto apply = [this](QScrollBar* bar, ScrollRange& stored, const ScrollRange& r, bool vertical) {
    stored = r;
    QSignalBlocker block(bar);
    if (!r.enabled) {
      bar->setRange(0, 0);
      bar->setEnabled(false);
      if (vertical)
        view_->SetScrollY(0);
      else
        view_->SetScrollX(0);
      return;
    }
    bar->setEnabled(true);
    bar->setRange(0, BarMaximum(r));
    bar->setPageStep(BarStep(r.page, r));
    bar->setSingleStep(BarStep(r.smallChange, r));
    bar->setValue(BarValue(r.position, r));
    if (r.runChangeHandler) {
      block.unblock();
      ScrollBarChanged(vertical);
    }
  };
  apply(vbar_, vrange_, v, true);
  apply(hbar_, hrange_, h, false);
}

void MainWindow::SyncScrollBars() {
  if (!view_) return;
  for (bool vertical : {true, false}) {
    QScrollBar* bar = vertical ? vbar_ : hbar_;
    ScrollRange& r = vertical ? vrange_ : hrange_;
    const int64_t viewPos = vertical ? view_->ScrollY() : view_->ScrollX();
    if (bar->isEnabled() && r.position != viewPos) {
      r.position = viewPos;
      QSignalBlocker block(bar);
      bar->setValue(BarValue(viewPos, r));
    } else if (r.position + r.page > r.maximum && bar->isEnabled()) {
      ScrollBarChanged(vertical);
    }
  }
}

void MainWindow::ScrollBarChanged(bool vertical) {
  if (!view_) return;
  QScrollBar* bar = vertical ? vbar_ : hbar_;
  ScrollRange& r = vertical ? vrange_ : hrange_;
  r.position = PositionFromBar(bar->value(), r);
  HideCaret();
  if (vertical)
    view_->SetScrollY(r.position);
  else
    view_->SetScrollX(static_cast<int>(r.position));  // a row's width is an int
  Redraw();
  ToggleCaret();
}

// The arrows move the view one line and a click on the trough the large
// change, counted in the view's positions: a bar scaled down for a tall
// document would otherwise step by its own values, several lines at a time
// or less than one. Drags and moves to an end keep the bar's own handling.
void MainWindow::ScrollBarStepped(bool vertical, int action) {
  if (!view_) return;
  QScrollBar* bar = vertical ? vbar_ : hbar_;
  ScrollRange& r = vertical ? vrange_ : hrange_;
  const int64_t page = vertical ? vLargeChange_ : hLargeChange_;
  int64_t step = 0;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      step = r.smallChange;
      break;
    case QAbstractSlider::SliderSingleStepSub:
      step = -int64_t{r.smallChange};
      break;
    case QAbstractSlider::SliderPageStepAdd:
      step = std::max<int64_t>(1, page);
      break;
    case QAbstractSlider::SliderPageStepSub:
      step = -std::max<int64_t>(1, page);
      break;
    default:
      return;
  }
  r.position = ClampScrollPosition(r.position + step, r);
  // The bar takes this value once the signal returns; a step finer than one
  // of its values leaves it where it is, so the view is moved here.
  const int value = BarValue(r.position, r);
  bar->setSliderPosition(value);
  if (value == bar->value()) ScrollBarChanged(vertical);
}

void MainWindow::ScrollVerticallyTo(int64_t position) {
  position = ClampScrollPosition(position, vrange_);
  if (position == view_->ScrollY()) return;
  // The bar calls ScrollBarChanged when its value moves; a step finer than
  // one of its values leaves it where it is, so the view is moved here.
  vrange_.position = position;
  const int value = BarValue(position, vrange_);
  if (value != vbar_->value())
    vbar_->setValue(value);
  else
    ScrollBarChanged(true);
}

// After a cursor move: brings enabled scroll bars to the view's scroll
// position, redraws and shows the caret again.
void MainWindow::SyncAfterMove() {
  if (vbar_->isEnabled() && vrange_.position != view_->ScrollY()) {
    vrange_.position = view_->ScrollY();
    QSignalBlocker b(vbar_);
    vbar_->setValue(BarValue(view_->ScrollY(), vrange_));
  }
  if (hbar_->isEnabled() && hrange_.position != view_->ScrollX()) {
    hrange_.position = view_->ScrollX();
    QSignalBlocker b(hbar_);
    hbar_->setValue(view_->ScrollX());
  }
  Redraw();
  ToggleCaret();
}

}  // namespace prambus
