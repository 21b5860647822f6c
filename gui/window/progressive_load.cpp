// A file loads in steps: the window lays out and shows its first screen, then
// goes on reading from the event loop, the scroll bars and the status bar
// catching up after each step and input served between them. Moving within
// the part already loaded works at once; any command that needs the whole
// document drives the rest of the load first. Escape gives back the document
// the window showed before, which is kept aside until the load ends.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <optional>
#include <utility>

#include "held_input.h"
#include "main_window.h"
#include "previous_document.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shell/recent_list.h"
#include "status_panel_row.h"
#include "surface_widget.h"
#include "views/hex_view.h"
#include "views/text_view.h"
#include "views/view_factory.h"

namespace prambus {

namespace {
// Time one step of the event loop may take: input is served at least this often.
constexpr qint64 kStepBudgetMs = 20;
// While a command drives a load to its end, input and the progress are
// looked at this often.
constexpr qint64 kDrivenInputMs = 50;
// The first screen is shown once this much is loaded even when its rows are
// not all there yet (a long line without line ends).
constexpr int64_t kFirstScreenBytes = int64_t(4) << 20;
}  // namespace

std::unique_ptr<MainWindow::PreviousDocument> MainWindow::SetDocumentAside(Document next) {
  auto p = std::make_unique<PreviousDocument>();
  doc_.appearance = CurrentAppearance();
  p->defaultChecks = state_.defaults.checks;
  p->openFolder = openFolder_;
  CloseHexToolWindows();
  DetachHexView(view_.get());
  HideCaret();
  p->document = SwapDocument(std::move(next));
  return p;
}

void MainWindow::BeginLoading(std::unique_ptr<PreviousDocument> previous) {
  previous_ = std::move(previous);
  loadClock_.start();
  loadIsSwitch_ = false;
  pendingCursor_ = false;
  pendingOffset_ = -1;
  const int recent = FindRecent(state_.recent, doc_.path);
  if (reloadCursor_) {
    pendingCursor_ = true;
    pendingCol_ = reloadCursor_->first;
    pendingRow_ = reloadCursor_->second;
  } else if (Cfg().RememberCurPos && recent >= 0) {
    pendingCursor_ = true;
    pendingCol_ = state_.recent[static_cast<size_t>(recent)].col;
    pendingRow_ = state_.recent[static_cast<size_t>(recent)].row;
  }
  try {
    doc_.load = view_->BeginLoad(doc_.path);
  } catch (const std::exception&) {
    FailLoading();
    return;
  }
  // The file as the load found it open; the load ends with its bytes.
  doc_.disk = DiskIdentityOf(doc_.path);
  // The first screen; the remembered cursor follows when its row loads.
  if (!LoadUntil([this] { return FirstScreenLoaded(); })) return;
  vbar_->setValue(0);
  hbar_->setValue(0);
  if (doc_.load && doc_.load->Finished())
    EndLoading();
  else if (doc_.load)
    ContinueLoadingInSteps();
}

void MainWindow::ContinueLoadingInSteps() {
  ApplyPendingCursor();
  RecomputeScrollRanges();
  SyncScrollBars();
  ShowLoadProgress();
  loadTimer_->start();
}

bool MainWindow::FirstScreenLoaded() const {
  const int screen = std::max(1, view_->ViewHeight() / std::max(1, view_->LineHeight()));
  return view_->LastRow() > screen + 1 || doc_.load->Done() >= kFirstScreenBytes;
}

// Steps until enough says so or the file ends; false when the load failed.
bool MainWindow::LoadUntil(const std::function<bool()>& enough) {
  try {
    while (doc_.load && !doc_.load->Finished() && !enough()) doc_.load->Step(kLoadSliceBytes / 4);
  } catch (const std::exception&) {
    FailLoading();
    return false;
  }
  return true;
}

void MainWindow::LoadStep() {
  if (!doc_.load) {
    loadTimer_->stop();
    return;
  }
  QElapsedTimer clock;
  clock.start();
  try {
    DocumentLoad& load = *doc_.load;
    const int64_t screenBottom = view_->ScrollY() + view_->ViewHeight();
    const int rowsBefore = view_->LastRow();
    while (!load.Finished() && clock.elapsed() < kStepBudgetMs) load.Step(kLoadSliceBytes);
    if (load.Finished()) {
      EndLoading();
      return;
    }
    RecomputeScrollRanges();
    SyncScrollBars();
    ApplyPendingCursor();
    // Rows that came into the visible part are drawn; the rest shows in the
    // scroll bar and the status bar.
    if (int64_t{rowsBefore} * view_->LineHeight() < screenBottom) {
      HideCaret();
      Redraw();
      ToggleCaret();
    } else if (statusBar()->isVisible()) {
      RefreshStatusBar();
    }
    ShowLoadProgress();
  } catch (const std::exception&) {
    FailLoading();
  }
}

bool MainWindow::EnsureWholeDocument() {
  // Nor while another command's pass goes through the document, which
  // nothing may change meanwhile.
  if (passRunning_) {
    refusedInPass_ = true;
    return false;
  }
  if (!doc_.load) return true;
  // A command reached from inside another's wait (the input that could start
  // one is held back, so only a timer or a plug-in gets here) does not run:
  // it is told once the wait is over.
  if (waitingForLoad_) {
    refusedInWait_ = true;
    return false;
  }
  return FinishLoading();
}

bool MainWindow::FinishLoading() {
  loadTimer_->stop();
  auto held = std::make_unique<HeldInput>(this);
  waitingForLoad_ = true;
  bool finished = false;
  auto endWait = [this] {
    waitingForLoad_ = false;
    if (std::exchange(refusedInWait_, false))
      QTimer::singleShot(0, this, [this] { ReportFailure(kRefusedDuringLoadMessage); });
  };
  try {
    // Input first, so that an Escape already on its way stops the load at once.
    for (;;) {
      ShowLoadProgress();
      QCoreApplication::processEvents();
      if (held->EscapePressed() || held->CloseAsked() || !doc_.load) break;
      QElapsedTimer sinceInput;
      sinceInput.start();
      while (!(finished = doc_.load->Step(kLoadSliceBytes)) &&
             sinceInput.elapsed() < kDrivenInputMs) {
      }
      if (finished) break;
    }
  } catch (const std::exception&) {
    endWait();
    held.reset();  // the failure's message needs the input
    FailLoading();
    return false;
  }
  endWait();
  if (finished) {
    EndLoading();
    held->HandOn();
    return true;
  }
  if (held->CloseAsked()) {
    // The close goes its usual way once the command is dropped: it asks
    // about the document given back if that has unsaved changes.
    CancelLoading();
    QTimer::singleShot(0, this, [this] { close(); });
    return false;
  }
  if (held->EscapePressed()) {
    CancelLoading();
    held->HandOn();  // what was typed after the Escape goes to the document given back
  }
  return false;
}

void MainWindow::EndLoading() {
  loadTimer_->stop();
  loadProgress_->hide();
  const std::optional<uint64_t> hashRead = doc_.load ? doc_.load->FileHash() : std::nullopt;
  doc_.load.reset();
  // The document set aside is gone for good; a switch of view has taken its
  // bytes over.
  const std::unique_ptr<PreviousDocument> previous = std::move(previous_);
  if (loadIsSwitch_) {
    if (previous && previous->document.View()) doc_.TookOver(*previous->document.View());
  } else {
    doc_.openMilliseconds = static_cast<int>(loadClock_.elapsed());
    // The content's hash tells a later touch from a change. The load took it
    // from the bytes it read; reading a large file again here would hold the
    // window for seconds.
    doc_.MarkSaved(hashRead ? WithHashTaken(doc_.path, doc_.disk, *hashRead)
                            : WithContentHash(doc_.path, doc_.disk));
  }
  HideCaret();
  RecomputeScrollRanges();
  ApplyPendingCursor();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
  if (!loadIsSwitch_) NoteLineEndConversion();
}

// A line-end conversion stays chosen from one file to the next: a file it
// would change is told about once, when it opens (after the command that
// opened it, outside any wait for the load).
void MainWindow::NoteLineEndConversion() {
  const auto* text = dynamic_cast<const TextView*>(view_.get());
  if (!text || !text->SavingChangesLineEnds()) return;
  QTimer::singleShot(0, this, [this, note = LineEndConversionNote(Cfg().LineEnd)] {
    ShowNote(QString::fromStdString(note));
  });
}

// The document is a new, untitled one: saving it must never replace the file
// that could not be loaded. A view switch that fails (out of memory) gives
// the document back in the view it came from instead, and so does a
// recovery copy that cannot be loaded.
void MainWindow::FailLoading() {
  loadFailed_ = true;
  if ((loadIsSwitch_ || loadGivesBack_) && previous_ && previous_->document.View()) {
    CancelLoading();
    if (!loadGivesBack_) ReportFailure(kLoadFailedMessage);
    return;
  }
  loadTimer_->stop();
  loadProgress_->hide();
  previous_.reset();
  pendingCursor_ = false;
  pendingOffset_ = -1;
  const std::string encoding = doc_.encoding;
  CreateView(viewKind_);  // the load goes with the document it read into
  SelectEncoding(encoding);
  lastClientWidth_ = -1;
  FormResize();
  RefreshTitle();
  RefreshUndoRedo();
  ReportFailure(kLoadFailedMessage);
}

void MainWindow::CancelLoading() {
  if (!doc_.load) return;
  loadTimer_->stop();
  loadProgress_->hide();
  pendingCursor_ = false;
  pendingOffset_ = -1;
  std::unique_ptr<PreviousDocument> p = std::move(previous_);
  CloseHexToolWindows();
  if (!p || !p->document.View()) {  // nothing was shown before: an empty untitled document
    CreateView(viewKind_);
    SelectEncoding(state_.defaults.encodingId);
    lastClientWidth_ = -1;
    FormResize();
    RefreshTitle();
    RefreshUndoRedo();
    return;
  }
  const int kind = p->document.appearance.viewKind == kHexView ? kHexView : kTextView;
  if (kind != viewKind_) FreeViewItems();
  // The document being loaded goes once the one given back is seated.
  const Document loading = SwapDocument(std::move(p->document));
  SeatView(kind);
  ApplyChecks(doc_.appearance.checks);
  ApplyAppearance(doc_.appearance, false);
  state_.defaults.checks = p->defaultChecks;
  desiredColumn_ = -1;
  openFolder_ = p->openFolder;
  ShowEncodingChecks();  // the view kept its own table
  RefreshTitle();
  RefreshUndoRedo();
  lastClientWidth_ = -1;
  FormResize();
  SyncScrollBars();
  HideCaret();
  Redraw();
  ToggleCaret();
}

// The last row may still grow or wrap with the bytes of the next step; the
// rows before it are laid out for good.
bool MainWindow::PendingCursorLoaded() const {
  if (!doc_.load || doc_.load->Finished() || !view_) return true;
  if (pendingCursor_) return view_->LastRow() > pendingRow_;
  if (pendingOffset_ < 0) return true;
  if (doc_.load->Done() <= pendingOffset_) return false;
  int col = pendingOffset_, row = 0;
  view_->OffsetToPos(col, row);
  return row < view_->LastRow() - 1;
}

// The remembered cursor of the file, or the cursor a view switch carries
// over, once the rows up to it are whole.
void MainWindow::ApplyPendingCursor() {
  if ((!pendingCursor_ && pendingOffset_ < 0) || !view_ || !PendingCursorLoaded()) return;
  if (pendingOffset_ >= 0) {
    pendingCol_ = pendingOffset_;
    pendingRow_ = 0;
    view_->OffsetToPos(pendingCol_, pendingRow_);
  }
  pendingCursor_ = false;
  pendingOffset_ = -1;
  view_->SetPosition(pendingCol_, pendingRow_, true);
  view_->SetPosition(pendingCol_, pendingRow_, false);
  RecomputeScrollRanges();
  SyncScrollBars();
}

void MainWindow::ShowLoadProgress() {
  if (!doc_.load) return;
  const QString text = LoadProgressText();
  if (loadProgress_->text() != text) loadProgress_->setText(text);
  PlaceLoadProgress();
  loadProgress_->show();
}

// In the status bar, after its panels; with the status bar hidden, at the
// right end of the menu bar, where no menu lies; with both hidden, at the
// bottom right of the document above the scroll bar, the only place left.
void MainWindow::PlaceLoadProgress() {
  QStatusBar* sb = statusBar();
  // Hidden by the user, not just not shown yet: a file named on the command
  // line loads before the window shows.
  if (!sb->isHidden()) {
    statusRow_->TakeProgress(loadProgress_);
    return;
  }
  if (loadProgress_->parentWidget() != this) {
    loadProgress_->setParent(this);
    loadProgress_->setFrameStyle(QFrame::Panel);
    loadProgress_->setAutoFillBackground(true);
  }
  loadProgress_->adjustSize();
  const QMenuBar* mb = menuBar();
  QPoint at;
  if (!mb->isHidden() && mb->height() >= loadProgress_->height()) {
    const QPoint right = mb->mapTo(this, QPoint(mb->width(), 0));
    at = QPoint(right.x() - loadProgress_->width() - 4,
                right.y() + (mb->height() - loadProgress_->height()) / 2);
  } else {
    const QPoint corner = central_->mapTo(this, QPoint(vbar_->x(), hbar_->y()));
    at = QPoint(corner.x() - loadProgress_->width() - 4, corner.y() - loadProgress_->height() - 4);
  }
  loadProgress_->move(std::max(0, at.x()), std::max(0, at.y()));
  loadProgress_->raise();
}

QString MainWindow::LoadProgressText() const {
  if (!doc_.load) return {};
  const int64_t total = std::max<int64_t>(1, doc_.load->Total());
  const int percent = static_cast<int>(std::min<int64_t>(99, doc_.load->Done() * 100 / total));
  return QString("Загрузка… %1%  (Esc — отменить)").arg(percent);
}

bool MainWindow::KeyStaysInLoadedPart(int key, Qt::KeyboardModifiers mods) const {
  switch (key) {  // a modifier on its own does nothing yet
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
      return true;
    default:
      break;
  }
  const bool ctrl = mods & Qt::ControlModifier, alt = mods & Qt::AltModifier;
  if (alt || !view_) return false;
  // Down and PageDown near the loaded end would stop short of the true one.
  const int page = std::max(1, view_->ViewHeight() / std::max(1, view_->LineHeight()));
  const bool farFromEnd = view_->CursorRow() + 2 * page < view_->LastRow();
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
      return true;
    case Qt::Key_Home:
      return true;
    case Qt::Key_End:
      return !ctrl;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
      return farFromEnd;
    default:
      return false;
  }
}

void MainWindow::ConnectCommand(QAction* action, std::function<void()> command) {
  connect(action, &QAction::triggered, this, [this, command = std::move(command)] {
    if (EnsureWholeDocument()) command();
  });
}

}  // namespace prambus
