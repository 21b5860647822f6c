#include "status_panel_row.h"

#include <QEvent>

#include "shell/status_bar_layout.h"

namespace prambus {

StatusPanelRow::StatusPanelRow(QWidget* parent) : QWidget(parent) {
  for (size_t i = 0; i < panels_.size(); ++i) {
    panels_[i] = new QLabel(this);
    if (i < 5) panels_[i]->setAlignment(Qt::AlignCenter);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  }
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

bool StatusPanelRow::HasProgress() const {
  return progress_ && progress_->parentWidget() == this && !progress_->isHidden();
}

void StatusPanelRow::TakeProgress(QLabel* progress) {
  if (progress->parentWidget() != this) {
    progress->setParent(this);
    progress->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    progress->setAutoFillBackground(false);
  }
  if (progress_ != progress) {
    progress_ = progress;
    progress->installEventFilter(this);
  }
  Relayout();
}

void StatusPanelRow::Relayout() {
  std::array<int, 6> needed{};
  for (size_t i = 0; i < panels_.size(); ++i) needed[i] = panels_[i]->sizeHint().width();
  const int progressNeeded = HasProgress() ? progress_->sizeHint().width() : 0;
  const StatusBarWidths widths = LayOutStatusBar(needed, progressNeeded, width(), kGap);
  const int h = height();
  int x = 0;
  for (size_t i = 0; i < panels_.size(); ++i) {
    const QRect place(x, 0, widths.panels[i], h);
    if (panels_[i]->geometry() != place) panels_[i]->setGeometry(place);
    x += widths.panels[i] + kGap;
  }
  if (HasProgress()) {
    // At the right end, as far from the panels as the room allows.
    const QRect place(std::max(x, width() - widths.progress), 0, widths.progress, h);
    if (progress_->geometry() != place) progress_->setGeometry(place);
  }
}

QSize StatusPanelRow::sizeHint() const {
  int w = 0, h = 0;
  for (size_t i = 0; i < panels_.size(); ++i) {
    const QSize s = panels_[i]->sizeHint();
    w += std::max(s.width(), kStatusPanelWidths[i]) + kGap;
    h = std::max(h, s.height());
  }
  return {w, h};
}

QSize StatusPanelRow::minimumSizeHint() const {
  return {0, sizeHint().height()};
}

void StatusPanelRow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Relayout();
}

// A label whose text changed asks for a new layout.
bool StatusPanelRow::event(QEvent* e) {
  if (e->type() == QEvent::LayoutRequest) Relayout();
  return QWidget::event(e);
}

bool StatusPanelRow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == progress_ &&
      (e->type() == QEvent::Show || e->type() == QEvent::Hide || e->type() == QEvent::ParentChange))
    Relayout();
  return QWidget::eventFilter(watched, e);
}

}  // namespace prambus
