// "Печать..." (Ctrl+P): the print dialog, the job with a progress window that
// can cancel it, and the message when printing fails. Output to a PDF file
// replaces the file only when the whole job has been written.
#include <sys/statvfs.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProgressDialog>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "io/io_error.h"
#include "io/posix_file.h"
#include "io/private_folder.h"
#include "main_window.h"
#include "platform/services.h"
#include "print/print_job.h"
#include "printer_device.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shell/safe_save.h"
#include "shell/save_journal.h"

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

// Why printing to a PDF file failed, when a file said so.
struct PdfFailure {
  FileProblem problem = FileProblem::kOther;
  int error = 0;
  bool targetExisted = false;
};

// Whether the disk of the folder is (nearly) full: a PDF writer that fails
// says no more than that it failed.
bool DiskFull(const std::string& folder) {
  struct statvfs fs {};
  return ::statvfs(folder.c_str(), &fs) == 0 &&
         static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize < (uint64_t(1) << 20);
}

// The job writes a temporary PDF (beside the target, else in the user's
// cache folder; on record while it exists, so a killed program leaves none
// behind); only a complete one replaces the target, through a safe save, so
// a cancelled or failed job leaves the target as it was and an existing
// target keeps its owner, mode and links.
PrintOutcome PrintToPdf(MainWindow& window, QPrinter& printer, const PrintRequest& request,
                        JobProgress& progress, std::optional<PdfFailure>& failure) {
  const QString target = printer.outputFileName();
  if (target.isEmpty()) return PrintOutcome::kFailed;
  const std::string path = QFile::encodeName(target).toStdString();
  const SaveRecord record{SaveStage::kTemporary, path, {}, 0, 0, {}};
  const std::string beside = QFile::encodeName(QFileInfo(target).absolutePath()).toStdString();
  auto temp = std::make_unique<RecordedFile>(beside + "/.prambus-print-", ".pdf", record,
                                             SaveJournalFolder());
  if (!temp->created()) {
    const int besideError = temp->error();
    const std::string cache = UserCacheFolder();
    if (EnsurePrivateFolder(cache))
      temp = std::make_unique<RecordedFile>(cache + "/.prambus-print-", ".pdf", record,
                                            SaveJournalFolder());
    if (!temp->created()) {
      failure = PdfFailure{ProblemOfErrno(besideError), besideError, QFileInfo::exists(target)};
      return PrintOutcome::kFailed;
    }
  }
  temp->Close();
  const QString pdf = QFile::decodeName(QByteArray::fromStdString(temp->path()));
  printer.setOutputFileName(pdf);
  const PrintOutcome outcome = RunJob(window, printer, request, progress);
  printer.setOutputFileName(target);
  const bool complete = outcome == PrintOutcome::kPrinted && PdfComplete(pdf);
  if (outcome == PrintOutcome::kCancelled) return outcome;
  if (!complete) {
    const std::string folder = temp->path().substr(0, temp->path().find_last_of('/'));
    if (DiskFull(folder))
      failure = PdfFailure{FileProblem::kNoSpace, ENOSPC, QFileInfo::exists(target)};
    return PrintOutcome::kFailed;
  }
  bool cancelled = false;
  const SaveOutcome saved =
      SaveSafely(path, SaveOptions{}, [&](int fd) { CopyInto(pdf, fd, progress, cancelled); });
  if (saved.Saved()) return PrintOutcome::kPrinted;
  if (cancelled) return PrintOutcome::kCancelled;
  failure =
      PdfFailure{saved.result == SaveResult::kReadOnly ? FileProblem::kNoPermission : saved.problem,
                 saved.error, saved.targetExisted};
  return PrintOutcome::kFailed;
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
  std::optional<PdfFailure> failure;
  if (prompts_->Printer(this, printer, selectionAllowed)) {
    const PrintRequest request = RequestOf(printer, selectionAllowed);
    JobProgress progress(this);
    outcome = printer.outputFormat() == QPrinter::PdfFormat
                  ? PrintToPdf(*this, printer, request, progress, failure)
                  : RunJob(*this, printer, request, progress);
  }
  // The hex view fitted to the page keeps the narrower rows on screen too.
  if (Cfg().HexColumns != columns) FormResize();
  AfterModalDialog();
  if (outcome == PrintOutcome::kFailed) {
    Beep();
    ShowNote(failure ? QString::fromStdString(PrintToFileFailedMessage(
                           QFile::encodeName(printer.outputFileName()).toStdString(),
                           failure->problem, failure->error, failure->targetExisted))
                     : QString("По какой-то причине не могу послать этот документ на печать."));
  }
}

}  // namespace prambus
