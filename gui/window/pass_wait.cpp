#include "pass_wait.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

#include "held_input.h"
#include "main_window.h"
#include "shell/file_messages.h"
#include "shell/pass_progress.h"

namespace prambus {

PassWait::PassWait(MainWindow& window, QAbstractButton* stop) : window_(window), stop_(stop) {
  clock_.start();
}

PassWait::~PassWait() {
  End();
}

PassProgress PassWait::Progress() {
  return [this](int64_t done, int64_t total) { return Report(done, total); };
}

bool PassWait::Report(int64_t done, int64_t total) {
  if (stopped_) return false;
  if (!held_) {
    if (!PassShowsProgress(total, clock_.elapsed())) return true;
    Begin();
  }
  QLabel* label = window_.loadProgress_;
  const QString text = QString::fromStdString(ReplaceProgressText(done, total));
  if (label->text() != text) label->setText(text);
  const bool searched = done >= total;  // the replacing that follows cannot be stopped
  if (searched && stop_) stop_->setEnabled(false);
  window_.PlaceLoadProgress();
  label->show();
  QCoreApplication::processEvents();
  stopped_ = held_->EscapePressed() || held_->CloseAsked() || stopClicked_;
  if (searched && !stopped_) label->repaint();
  return !stopped_;
}

void PassWait::Begin() {
  held_ = std::make_unique<HeldInput>(&window_);
  window_.passRunning_ = true;
  window_.layoutTimer_->stop();
  if (stop_) {
    held_->LetThrough(stop_);
    stopCaption_ = stop_->text();
    stop_->setText("Стоп");
    QObject::connect(stop_, &QAbstractButton::clicked, held_.get(),
                     [this] { stopClicked_ = true; });
  }
}

void PassWait::End() {
  if (!held_) return;
  window_.passRunning_ = false;
  window_.loadProgress_->hide();
  if (stop_) {
    stop_->setText(stopCaption_);
    stop_->setEnabled(true);
  }
  const std::unique_ptr<HeldInput> held = std::move(held_);
  MainWindow* w = &window_;
  if (std::exchange(w->refusedInPass_, false))
    QTimer::singleShot(0, w, [w] { w->ReportFailure(kRefusedDuringReplaceMessage); });
  if (held->CloseAsked()) {
    // The document is as it was: the close asks about it as any close does.
    QTimer::singleShot(0, w, [w] { w->close(); });
    return;
  }
  held->HandOn();
}

}  // namespace prambus
