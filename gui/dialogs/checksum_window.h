// "Контрольные суммы": CRC-32, MD5, SHA-1 and SHA-256 of the document or of
// its selection, in fields whose text can be selected and copied. A long
// document is summed in steps from the event loop while a progress bar
// moves; Escape or "Отмена" stops the summing and closes the window.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <memory>

#include "shell/checksum_job.h"

namespace prambus {

class ChecksumWindow : public QDialog {
  Q_OBJECT
 public:
  // What is summed is named in the heading: the selection or the whole
  // document. The first part is summed at once, so a short document shows
  // its checksums without a progress bar ever appearing.
  ChecksumWindow(QWidget* parent, std::unique_ptr<ChecksumJob> job, bool selection);

  // How long one step of the summing keeps the event loop waiting.
  static constexpr int kStepMs = 30;

  bool Done() const { return job_->Done(); }
  // Sums the rest at once.
  void RunToEnd();
  // The checksum in field i (kChecksumNames' order); empty until done.
  QString Value(int i) const { return fields[static_cast<size_t>(i)]->text(); }
  // "CRC-32: ..." lines of all four, as "Копировать всё" puts them on the clipboard.
  QString AllValues() const;

  QLabel* heading;
  std::array<QLineEdit*, 4> fields{};
  QProgressBar* progress;
  QPushButton* copyButton;
  QPushButton* closeButton;  // "Отмена" while summing, then "Закрыть"

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void Step();  // one step from the event loop
  bool SumFor(int ms);
  void ShowProgress();
  void ShowResults();

  std::unique_ptr<ChecksumJob> job_;
  bool selection_;
  QTimer stepTimer_;
};

}  // namespace prambus
