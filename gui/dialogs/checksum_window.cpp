#include "checksum_window.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>

#include "checksum_digests.h"
#include "shell/typed_number.h"

namespace prambus {

namespace {
// What one round of the loop in SumFor hands the digests before it looks at
// the clock: small enough to keep a step near its time.
constexpr size_t kBytesPerLook = size_t(1) << 20;
}  // namespace

ChecksumWindow::ChecksumWindow(QWidget* parent, std::unique_ptr<ChecksumJob> job, bool selection)
    : QDialog(parent), job_(std::move(job)), selection_(selection) {
  setWindowTitle("Контрольные суммы");
  heading = new QLabel(this);
  progress = new QProgressBar(this);
  progress->setRange(0, 1000);
  progress->setTextVisible(false);
  copyButton = new QPushButton("Копировать всё", this);
  closeButton = new QPushButton("Отмена", this);
  auto* grid = new QGridLayout(this);
  grid->addWidget(heading, 0, 0, 1, 2);
  const QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (int i = 0; i < 4; ++i) {
    auto* field = new QLineEdit(this);
    field->setReadOnly(true);
    field->setFont(digits);
    // Room for the 64 digits of SHA-256.
    field->setMinimumWidth(QFontMetrics(digits).horizontalAdvance(QString(66, '0')));
    grid->addWidget(new QLabel(kChecksumNames[i], this), i + 1, 0);
    grid->addWidget(field, i + 1, 1);
    fields[static_cast<size_t>(i)] = field;
  }
  grid->addWidget(progress, 5, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(copyButton);
  buttons->addWidget(closeButton);
  grid->addLayout(buttons, 6, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  copyButton->setAutoDefault(false);
  closeButton->setAutoDefault(false);
  connect(copyButton, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(AllValues()); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  stepTimer_.setSingleShot(true);
  connect(&stepTimer_, &QTimer::timeout, this, [this] { Step(); });

  if (SumFor(kStepMs))
    ShowResults();
  else
    ShowProgress();
}

bool ChecksumWindow::SumFor(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!job_->Step(kBytesPerLook))
    if (clock.elapsed() >= ms) return false;
  return true;
}

void ChecksumWindow::RunToEnd() {
  stepTimer_.stop();
  while (!job_->Step(kBytesPerLook)) {
  }
  ShowResults();
}

void ChecksumWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!job_->Done()) stepTimer_.start(0);
}

// Each step sums for a while and then lets the event loop run: the window
// repaints, and Escape or "Отмена" closes it between two steps.
void ChecksumWindow::Step() {
  if (!isVisible() || job_->Done()) return;
  if (SumFor(kStepMs)) {
    ShowResults();
    return;
  }
  ShowProgress();
  stepTimer_.start(0);
}

void ChecksumWindow::ShowProgress() {
  heading->setText(selection_ ? "Считаю контрольные суммы выделенного фрагмента..."
                              : "Считаю контрольные суммы документа...");
  progress->setValue(job_->Permille());
  copyButton->setEnabled(false);
}

void ChecksumWindow::ShowResults() {
  const QString size = QString::fromStdString(GroupedDecimal(job_->BytesRead()));
  heading->setText(QString(selection_
                               ? "Выделенный фрагмент: %1 б. в том виде, в каком он сохраняется."
                               : "Весь документ: %1 б. в том виде, в каком он сохраняется.")
                       .arg(size));
  const std::vector<std::string>& values = job_->Results();
  for (size_t i = 0; i < fields.size() && i < values.size(); ++i)
    fields[i]->setText(QString::fromStdString(values[i]));
  progress->hide();
  copyButton->setEnabled(true);
  closeButton->setText("Закрыть");
  fields[3]->setFocus();
}

QString ChecksumWindow::AllValues() const {
  QString text;
  for (int i = 0; i < 4; ++i) text += QString("%1: %2\n").arg(kChecksumNames[i], Value(i));
  return text;
}

}  // namespace prambus
