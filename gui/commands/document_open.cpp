// Opening a file: from the command line, "Открыть...", a drop or the recent
// list. The window takes the file's stored appearance, the view kind chosen
// for it and, when remembered, its cursor; a file another copy of the program
// already shows is handed over to that copy.
#include <sys/stat.h>

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>

#include "io/io_error.h"
#include "io/lexical_path.h"
#include "io/posix_file.h"
#include "main_window.h"
#include "platform/services.h"
#include "previous_document.h"
#include "settings/settings.h"
#include "shell/chosen_name.h"
#include "shell/file_messages.h"
#include "shell/file_rules.h"
#include "shell/handover_request.h"
#include "shell/opening_encoding.h"
#include "shell/pinned_files.h"
#include "shell/recent_list.h"
#include "single_copy.h"
#include "skin_host.h"
#include "text/utf8_scan.h"
#include "views/view_factory.h"

namespace prambus {

void MainWindow::OpenCommandLineFile(const std::string& path) {
  bool shown = true;
  try {
    shown = OpenPath(path);
  } catch (const IoError& e) {
    // An empty untitled document, and a word on why.
    CreateView(viewKind_);
    lastClientWidth_ = -1;
    FormResize();
    SelectEncoding(state_.defaults.encodingId);
    RefreshTitle();
    ReportCannotOpen(AbsolutePathOf(path), e);
    return;
  }
  if (!shown) {
    // Another copy shows the file and has come to the front: this one ends.
    ending_ = true;
    QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
    handedOver_ = true;
  }
}

bool MainWindow::OpenPath(const std::string& rawPath) {
  // A file still loading is whole before another takes its place; when that
  // wait is stopped, nothing is opened.
  if (!EnsureWholeDocument()) return true;
  const std::string p = AbsolutePathOf(rawPath);
  // Throws when it cannot be read; FIFOs and devices are refused unopened.
  { InputFile probe(p); }
  const std::string request = FormatHandOverRequest(FileNameHash(p), TitleOf(p).toStdString(), p);
  if (SingleCopy::HandOver(request)) return false;  // another copy shows it

  // The document shown so far stays aside until the new one has loaded.
  std::unique_ptr<PreviousDocument> previous = SetDocumentAside();
  // The first record of the path, the one the window state is captured into.
  const int pinnedAt = FindPinned(state_.pinned, p);
  const WindowAppearance* pinned =
      pinnedAt >= 0 ? &state_.pinned[static_cast<size_t>(pinnedAt)] : nullptr;
  const WindowAppearance& record = pinned ? *pinned : state_.defaults;
  const int kind = pinned ? pinned->viewKind
                          : ChooseViewKind(p, state_.recent, state_.bindings, Cfg().RememberCurPos,
                                           state_.defaults.viewKind);
  desiredColumn_ = -1;
  CreateView(kind);  // a new document, named for the file below
  doc_.path = p;
  // The check marks stored for this view kind; a pinned record's own marks
  // only when they were stored for the same kind.
  const int kindIndex = viewKind_ == 2 ? 1 : 0;
  // The default record's list is reset to this kind's own, unless a pinned
  // file of the other kind is opened: its state is captured into its own
  // record, and the default record's list must stay that of the default kind.
  if (!pinned || viewKind_ == state_.defaults.viewKind)
    state_.defaults.checks = state_.kindChecks[kindIndex];
  ApplyChecks(state_.kindChecks[kindIndex]);
  if (pinned && pinned->viewKind == viewKind_) ApplyChecks(pinned->checks);
  ApplyAppearance(record, pinned == nullptr);

  caretShown_ = false;
  lastClientWidth_ = -1;
  FormResize();
  // The table first, so that the file is shown through it as it is read.
  SelectEncoding(OpeningEncodingOf(p, pinned));
  RefreshTitle();
  RefreshUndoRedo();
  openFolder_ = ShownPath(FolderOf(p));
  BeginLoading(std::move(previous));
  HideCaret();
  Redraw();
  ToggleCaret();
  activateWindow();
  return true;
}

// The encoding the file opens in: its pinned record's, its recent entry's,
// the one its first bytes suggest, or the default record's.
std::string MainWindow::OpeningEncodingOf(const std::string& path,
                                          const WindowAppearance* pinned) const {
  OpeningEncodingInput in;
  in.pinned = pinned;
  const int recent = Cfg().RememberCurPos ? FindRecent(state_.recent, path) : -1;
  if (recent >= 0) in.recentId = state_.recent[static_cast<size_t>(recent)].encodingId;
  in.defaultId = state_.defaults.encodingId;
  std::string sample;
  if (Cfg().DetectEncoding && !pinned && !encodings_.Find(in.recentId)) {
    sample = ReadDetectionSample(path, in.wholeFile);
    in.sample = sample;
  }
  return OpeningEncoding(encodings_, in);
}

// The record's bounds and state: a pinned file's own, for any other file the
// default ones, which the window gets back after a pinned file.
void MainWindow::ApplyAppearance(const WindowAppearance& record, bool warnOnMinimal) {
  ApplyPlacement(record);
  setVisible(record.visible || isVisible());
  ApplyLook(record);
  if (record.minimalMode != actions_.minimalMode->isChecked()) ToggleMinimalMode(warnOnMinimal);
  if (record.stayOnTop != actions_.stayOnTop->isChecked()) ToggleStayOnTop();
  if (record.statusBar != actions_.statusBar->isChecked() && !actions_.minimalMode->isChecked())
    ToggleStatusBar();
}

MainWindow::WholeLoad MainWindow::LoadWhole(const std::string& rawPath) {
  const std::string path = AbsolutePathOf(rawPath);
  loadGivesBack_ = true;
  loadFailed_ = false;
  bool loaded = false;
  try {
    loaded = OpenPath(path) && EnsureWholeDocument() && !loadFailed_ && doc_.path == path;
  } catch (const std::exception&) {
    loadFailed_ = true;
  }
  loadGivesBack_ = false;
  if (loaded) return WholeLoad::kLoaded;
  return loadFailed_ ? WholeLoad::kFailed : WholeLoad::kStopped;
}

bool MainWindow::OpenDropped(const std::string& path) {
  if (!EnsureWholeDocument()) return false;
  if (doc_.Modified() && AskToSave()) return false;
  PushCurrentToRecent();
  caretShown_ = false;
  CaptureWindowState();
  const std::string absolute = AbsolutePathOf(path);
  try {
    return OpenPath(absolute) && doc_.path == absolute;
  } catch (const IoError& e) {
    ReportCannotOpen(absolute, e);
    return false;
  }
}

namespace {
// The file a local URL names, by its bytes: the URL keeps them
// percent-encoded, where its local file as text would have lost those that
// are not UTF-8. A host is kept as the toolkit keeps it ("//host/path").
std::string LocalFileOf(const QUrl& url) {
  QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  if (!url.host().isEmpty()) path.prepend("//" + url.host(QUrl::FullyEncoded).toLatin1());
  return path.toStdString();
}
}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls() && e->mimeData()->urls().first().isLocalFile())
    e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
  const QList<QUrl> urls = e->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  e->acceptProposedAction();
  OpenDropped(LocalFileOf(urls.first()));
}

bool MainWindow::ShowsFile(const HandOverRequest& request) const {
  if (doc_.path.empty()) return false;
  if (request.path) return *request.path == doc_.path;
  // Asked by title and hash: those tell only a name that is text.
  const QString title = QString::fromStdString(request.title);
  const QString t = windowTitle();
  return (t == title || t == "* " + title) && WindowHash() == request.hash &&
         IsWellFormedUtf8(doc_.path);
}

std::optional<std::string> MainWindow::ChosenPath(const QString& chosen) {
  ChosenNameContext context;
  context.known = doc_.path;
  context.toText = [](std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))
        .toStdString();
  };
  context.exists = [](const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
  };
  const std::string text = QFileInfo(chosen).absoluteFilePath().toStdString();
  std::optional<std::string> path = BytesOfChosenName(text, context);
  if (!path) ReportFailure(AmbiguousChosenNameMessage(text));
  return path;
}

}  // namespace prambus
