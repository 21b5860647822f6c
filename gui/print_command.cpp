#include "print_command.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>

#include "io/io_error.h"
#include "main_window.h"
#include "platform/services.h"
#include "printer_device.h"
#include "settings/settings.h"
#include "shell/safe_save.h"

namespace prambus {

namespace {
const char* const kPrintFailed = "По какой-то причине не могу послать этот документ на печать.";

// The progress window of a job: shown once the job has run for a second and
// updated, with the rest of the program kept responsive, every tenth of a
// second. Until it shows, input is held back, so the document cannot change
// under the job; a copy of the program asking to hand over a file waits
// until the job ends.
class JobProgress {
 public:
  explicit JobProgress(QWidget* parent) : dialog_(parent) {
    dialog_.setWindowTitle("Прамбус");
    dialog_.setCancelButtonText("Отмена");
    dialog_.setRange(0, 0);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setMinimumDuration(kShowAfterMs);
    dialog_.setLabelText("Готовлю документ к печати...");
    started_.start();
    updated_.start();
  }

  // False once the user has cancelled.
  bool Update(const PrintProgress& p) {
    if (updated_.elapsed() < kUpdateEveryMs) return !dialog_.wasCanceled();
    updated_.restart();
    if (p.page > 0) {
      dialog_.setLabelText(QString("Печатаю страницу %1...").arg(p.page));
    } else if (p.totalBytes > 0) {
      dialog_.setLabelText(
          QString("Готовлю документ к печати: %1%").arg(p.fedBytes * 100 / p.totalBytes));
    }
    if (!dialog_.isVisible() && !dialog_.wasCanceled() && started_.elapsed() >= kShowAfterMs)
      dialog_.show();
    QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeSocketNotifiers;
    if (!dialog_.isVisible()) flags |= QEventLoop::ExcludeUserInputEvents;
    QCoreApplication::processEvents(flags);
    return !dialog_.wasCanceled();
  }

 private:
  static constexpr int kShowAfterMs = 1000;
  static constexpr int kUpdateEveryMs = 100;
  QProgressDialog dialog_;
  QElapsedTimer started_, updated_;
};
}  // namespace

bool PrintDialogSetup::Choose(QPrinter& printer, bool selectionAllowed, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  dialog.setMinMax(1, 999999);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionAllowed);
  return dialog.exec() == QDialog::Accepted;
}

PrintCommand::PrintCommand(MainWindow* window, QAction* action)
    : QObject(window), window_(window), setup_(std::make_unique<PrintDialogSetup>()) {
  connect(action, &QAction::triggered, this, &PrintCommand::Run);
}

void PrintCommand::Run() {
  if (!window_->View()) return;
  window_->BeforeModalDialog();
  QPrinter printer(QPrinter::HighResolution);
  printer.setCollateCopies(true);
  printer.setFromTo(1, 100);
  const bool selectionAllowed = window_->View()->HasSelection();
  const int columns = Cfg().HexColumns;
  PrintOutcome outcome = PrintOutcome::kCancelled;
  if (setup_->Choose(printer, selectionAllowed, window_))
    outcome = Print(printer, selectionAllowed);
  // The hex view fitted to the page keeps the narrower rows on screen too.
  if (Cfg().HexColumns != columns) window_->FormResize();
  window_->AfterModalDialog();
  if (outcome == PrintOutcome::kFailed) {
    Beep();
    window_->ShowNote(kPrintFailed);
  }
}

PrintOutcome PrintCommand::Print(QPrinter& printer, bool selectionAllowed) {
  PrintRequest request;
  if (printer.printRange() == QPrinter::Selection) {
    request.selectionOnly = selectionAllowed;
  } else if (printer.printRange() == QPrinter::PageRange) {
    for (const QPageRanges::Range& r : printer.pageRanges().toRangeList())
      request.pages.push_back({r.from, r.to});
  }
  // A printer that cannot make copies itself (a PDF file) gets them drawn.
  if (!printer.supportsMultipleCopies()) {
    request.copies = printer.copyCount();
    request.collate = printer.collateCopies();
  }
  if (printer.outputFormat() == QPrinter::PdfFormat) return PrintToPdf(printer, request);
  return RunJob(printer, request);
}

// The PDF is written beside the target and renamed over it only when it is
// complete: a cancelled or failed job leaves the target as it was.
PrintOutcome PrintCommand::PrintToPdf(QPrinter& printer, const PrintRequest& request) {
  const QString target = printer.outputFileName();
  if (target.isEmpty()) return PrintOutcome::kFailed;
  PrintOutcome outcome = PrintOutcome::kFailed;
  const SaveResult saved =
      SaveSafely(QFile::encodeName(target).toStdString(), false, [&](const std::string& temp) {
        const QString tempName = QFile::decodeName(temp.c_str());
        printer.setOutputFileName(tempName);
        outcome = RunJob(printer, request);
        printer.setOutputFileName(target);
        if (outcome != PrintOutcome::kPrinted || !PdfComplete(tempName)) throw IoError("");
      });
  if (saved == SaveResult::kSaved) return PrintOutcome::kPrinted;
  return outcome == PrintOutcome::kCancelled ? PrintOutcome::kCancelled : PrintOutcome::kFailed;
}

PrintOutcome PrintCommand::RunJob(QPrinter& printer, const PrintRequest& request) {
  ViewBase* view = window_->View();
  PrinterDevice device(printer);
  if (!device.Begin()) return PrintOutcome::kFailed;
  const Canvas& surface = *view->GetCanvas();
  const Font font = FontForDevice(surface.GetFont(), surface.DpiY(), device.SheetCanvas().DpiY());
  JobProgress progress(window_);
  PrintOutcome outcome =
      PrintDocument(*view, window_->ViewKind(), device, font, request,
                    [&progress](const PrintProgress& p) { return progress.Update(p); });
  if (outcome != PrintOutcome::kPrinted) printer.abort();
  if (!device.End() && outcome == PrintOutcome::kPrinted) outcome = PrintOutcome::kFailed;
  return outcome;
}

}  // namespace prambus
