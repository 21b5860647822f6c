// "Печать..." (Ctrl+P): the print dialog, the job with a progress window that
// can cancel it, and the message when printing fails. Output to a PDF file
// replaces the file only when the whole job has been written.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryFile>
#include <cstdint>
#include <vector>

#include "io/io_error.h"
#include "io/posix_file.h"
#include "main_window.h"
#include "platform/services.h"
#include "print/print_job.h"
#include "printer_device.h"
#include "settings/settings.h"
#include "shell/safe_save.h"

namespace prambus {

namespace {

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
    if (!Due()) return !dialog_.wasCanceled();
    if (p.page > 0) {
      dialog_.setLabelText(QString("Печатаю страницу %1...").arg(p.page));
    } else if (p.totalBytes > 0) {
      dialog_.setLabelText(
          QString("Готовлю документ к печати: %1%").arg(p.fedBytes * 100 / p.totalBytes));
    }
    return Turn();
  }
  // Copying the finished PDF over the target file.
  bool Writing(int64_t done, int64_t total) {
    if (!Due()) return !dialog_.wasCanceled();
    if (total > 0) dialog_.setLabelText(QString("Записываю файл: %1%").arg(done * 100 / total));
    return Turn();
  }

 private:
  bool Due() {
    if (updated_.elapsed() < kUpdateEveryMs) return false;
    updated_.restart();
    return true;
  }
  bool Turn() {
    if (!dialog_.isVisible() && !dialog_.wasCanceled() && started_.elapsed() >= kShowAfterMs)
      dialog_.show();
    QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeSocketNotifiers;
    if (!dialog_.isVisible()) flags |= QEventLoop::ExcludeUserInputEvents;
    QCoreApplication::processEvents(flags);
    return !dialog_.wasCanceled();
  }

  static constexpr int kShowAfterMs = 1000;
  static constexpr int kUpdateEveryMs = 100;
  QProgressDialog dialog_;
  QElapsedTimer started_, updated_;
};

// What the dialog chose, as a job request.
PrintRequest RequestOf(QPrinter& printer, bool selectionAllowed) {
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
  return request;
}

PrintOutcome RunJob(MainWindow& window, QPrinter& printer, const PrintRequest& request,
                    JobProgress& progress) {
  ViewBase& view = *window.View();
  PrinterDevice device(printer);
  if (!device.Begin()) return PrintOutcome::kFailed;
  const Canvas& surface = *view.GetCanvas();
  const Font font = FontForDevice(surface.GetFont(), surface.DpiY(), device.SheetCanvas().DpiY());
  PrintOutcome outcome =
      PrintDocument(view, window.ViewKind(), device, font, request,
                    [&progress](const PrintProgress& p) { return progress.Update(p); });
  if (outcome != PrintOutcome::kPrinted) printer.abort();
  if (!device.End() && outcome == PrintOutcome::kPrinted) outcome = PrintOutcome::kFailed;
  return outcome;
}

// Copies a finished PDF into the descriptor of a safe save, keeping the
// progress window turning; throws IoError, and sets cancelled when the user
// cancelled.
void CopyInto(const QString& pdf, int fd, JobProgress& progress, bool& cancelled) {
  InputFile in(QFile::encodeName(pdf).toStdString());
  OutputFile out = OutputFile::Borrowing(fd);
  std::vector<char> block(1 << 20);
  int64_t done = 0;
  while (const size_t n = in.Read(block.data(), block.size())) {
    out.Write(block.data(), n);
    done += static_cast<int64_t>(n);
    if (!progress.Writing(done, in.Size())) {
      cancelled = true;
      throw IoError("cancelled");
    }
  }
}

// The job writes a temporary PDF; only a complete one replaces the target,
// through a safe save, so a cancelled or failed job leaves the target as it
// was and an existing target keeps its owner, mode and links.
PrintOutcome PrintToPdf(MainWindow& window, QPrinter& printer, const PrintRequest& request,
                        JobProgress& progress) {
  const QString target = printer.outputFileName();
  if (target.isEmpty()) return PrintOutcome::kFailed;
  const QString pattern = "/.prambus-print-XXXXXX.pdf";
  QTemporaryFile temp(QFileInfo(target).absolutePath() + pattern);
  if (!temp.open()) {
    temp.setFileTemplate(QDir::tempPath() + pattern);
    if (!temp.open()) return PrintOutcome::kFailed;
  }
  temp.close();
  printer.setOutputFileName(temp.fileName());
  const PrintOutcome outcome = RunJob(window, printer, request, progress);
  printer.setOutputFileName(target);
  if (outcome != PrintOutcome::kPrinted) return outcome;
  if (!PdfComplete(temp.fileName())) return PrintOutcome::kFailed;
  bool cancelled = false;
  const SaveOutcome saved =
      SaveSafely(QFile::encodeName(target).toStdString(), SaveOptions{},
                 [&](int fd) { CopyInto(temp.fileName(), fd, progress, cancelled); });
  if (saved.Saved()) return PrintOutcome::kPrinted;
  return cancelled ? PrintOutcome::kCancelled : PrintOutcome::kFailed;
}

}  // namespace

void MainWindow::PrintCommand() {
  if (!EnsureWholeDocument() || !view_) return;
  BeforeModalDialog();
  QPrinter printer(QPrinter::HighResolution);
  printer.setCollateCopies(true);
  printer.setFromTo(1, 100);
  const bool selectionAllowed = view_->HasSelection();
  const int columns = Cfg().HexColumns;
  PrintOutcome outcome = PrintOutcome::kCancelled;
  if (prompts_->Printer(this, printer, selectionAllowed)) {
    const PrintRequest request = RequestOf(printer, selectionAllowed);
    JobProgress progress(this);
    outcome = printer.outputFormat() == QPrinter::PdfFormat
                  ? PrintToPdf(*this, printer, request, progress)
                  : RunJob(*this, printer, request, progress);
  }
  // The hex view fitted to the page keeps the narrower rows on screen too.
  if (Cfg().HexColumns != columns) FormResize();
  AfterModalDialog();
  if (outcome == PrintOutcome::kFailed) {
    Beep();
    ShowNote("По какой-то причине не могу послать этот документ на печать.");
  }
}

}  // namespace prambus
