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

std::unique_ptr<MainWindow::PreviousDocument> MainWindow::SetDocumentAside() {
  auto p = std::make_unique<PreviousDocument>();
  p->appearance = CurrentAppearance();
  p->viewKind = viewKind_;
  p->fileName = fileName_;
  p->modified = modified_;
  p->encoding = currentEncoding_;
  p->hash = windowHash_;
  p->openDuration = openDuration_;
  p->undoEnabled = actions_.undo->isEnabled();
  p->redoEnabled = actions_.redo->isEnabled();
  p->defaultChecks = state_.defaults.checks;
  p->desiredColumn = desiredColumn_;
  p->openFolder = openFolder_;
  CloseHexToolWindows();
  if (auto* hex = dynamic_cast<HexView*>(view_.get())) {  // its windows are gone
    hex->showDataWindow = nullptr;
    hex->paintDataWindow = nullptr;
    hex->formResize = nullptr;
  }
  HideCaret();
  p->view = std::move(view_);
  return p;
}

void MainWindow::BeginLoading(const std::string& path, std::unique_ptr<PreviousDocument> previous) {
  previous_ = std::move(previous);
  loadClock_.start();
  loadIsSwitch_ = false;
  pendingCursor_ = false;
  pendingOffset_ = -1;
  const int recent = FindRecent(state_.recent, path);
  if (Cfg().RememberCurPos && recent >= 0) {
    pendingCursor_ = true;
    pendingCol_ = state_.recent[static_cast<size_t>(recent)].col;
    pendingRow_ = state_.recent[static_cast<size_t>(recent)].row;
  }
  try {
    load_ = view_->BeginLoad(path);
  } catch (const std::exception&) {
    FailLoading();
    return;
  }
  // The first screen; the remembered cursor follows when its row loads.
  if (!LoadUntil([this] { return FirstScreenLoaded(); })) return;
  vbar_->setValue(0);
  hbar_->setValue(0);
  if (load_ && load_->Finished())
    EndLoading();
  else if (load_)
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
  const int screen = std::max(1, view_->ViewHeight / std::max(1, view_->LineHeight()));
  return view_->LastRow > screen + 1 || load_->Done() >= kFirstScreenBytes;
}

// Steps until enough says so or the file ends; false when the load failed.
bool MainWindow::LoadUntil(const std::function<bool()>& enough) {
  try {
    while (load_ && !load_->Finished() && !enough()) load_->Step(kLoadSliceBytes / 4);
  } catch (const std::exception&) {
    FailLoading();
    return false;
  }
  return true;
}

void MainWindow::LoadStep() {
  if (!load_) {
    loadTimer_->stop();
    return;
  }
  QElapsedTimer clock;
  clock.start();
  try {
    const int64_t screenBottom = view_->ScrollY + view_->ViewHeight;
    const int rowsBefore = view_->LastRow;
    while (!load_->Finished() && clock.elapsed() < kStepBudgetMs) load_->Step(kLoadSliceBytes);
    if (load_->Finished()) {
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

bool MainWindow::FinishLoading() {
  if (!load_) return true;
  // A command reached from inside the wait (the input that could start one is
  // held back, so only a timer or a plug-in gets here) does not run.
  if (waitingForLoad_) return false;
  loadTimer_->stop();
  auto held = std::make_unique<HeldInput>(this);
  waitingForLoad_ = true;
  bool finished = false;
  try {
    // Input first, so that an Escape already on its way stops the load at once.
    for (;;) {
      ShowLoadProgress();
      QCoreApplication::processEvents();
      if (held->EscapePressed() || held->CloseAsked() || !load_) break;
      QElapsedTimer sinceInput;
      sinceInput.start();
      while (!(finished = load_->Step(kLoadSliceBytes)) && sinceInput.elapsed() < kDrivenInputMs) {
      }
      if (finished) break;
    }
  } catch (const std::exception&) {
    waitingForLoad_ = false;
    held.reset();  // the failure's message needs the input
    FailLoading();
    return false;
  }
  waitingForLoad_ = false;
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
  load_.reset();
  previous_.reset();  // the document set aside is gone for good
  if (!loadIsSwitch_) openDuration_ = static_cast<int>(loadClock_.elapsed());
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
  if ((loadIsSwitch_ || loadGivesBack_) && previous_ && previous_->view) {
    CancelLoading();
    if (!loadGivesBack_) ReportFailure(kLoadFailedMessage);
    return;
  }
  loadTimer_->stop();
  loadProgress_->hide();
  load_.reset();
  previous_.reset();
  pendingCursor_ = false;
  pendingOffset_ = -1;
  fileName_.clear();
  windowHash_ = 0;
  openDuration_ = -1;
  modified_ = false;
  CreateView(viewKind_);
  SelectEncoding(currentEncoding_);
  lastClientWidth_ = -1;
  FormResize();
  RefreshTitle();
  RefreshUndoRedo();
  ReportFailure(kLoadFailedMessage);
}

void MainWindow::CancelLoading() {
  if (!load_) return;
  loadTimer_->stop();
  loadProgress_->hide();
  load_.reset();
  pendingCursor_ = false;
  pendingOffset_ = -1;
  std::unique_ptr<PreviousDocument> p = std::move(previous_);
  CloseHexToolWindows();
  const std::unique_ptr<ViewBase> loading = std::move(view_);
  if (!p || !p->view) {  // nothing was shown before: an empty untitled document
    fileName_.clear();
    windowHash_ = 0;
    openDuration_ = -1;
    CreateView(viewKind_);
    SelectEncoding(state_.defaults.encodingIndex);
    lastClientWidth_ = -1;
    FormResize();
    RefreshTitle();
    RefreshUndoRedo();
    return;
  }
  if (p->viewKind != viewKind_) FreeViewItems();
  view_ = std::move(p->view);
  SeatView(p->viewKind);
  ApplyChecks(p->appearance.checks);
  ApplyAppearance(p->appearance, false);
  state_.defaults.checks = p->defaultChecks;
  fileName_ = p->fileName;
  windowHash_ = p->hash;
  openDuration_ = p->openDuration;
  desiredColumn_ = p->desiredColumn;
  openFolder_ = p->openFolder;
  currentEncoding_ = p->encoding;  // the view kept its own table
  ShowEncodingChecks();
  modified_ = p->modified;
  RefreshTitle();
  actions_.undo->setEnabled(p->undoEnabled);
  actions_.redo->setEnabled(p->redoEnabled);
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
  if (!load_ || load_->Finished() || !view_) return true;
  if (pendingCursor_) return view_->LastRow > pendingRow_;
  if (pendingOffset_ < 0) return true;
  if (load_->Done() <= pendingOffset_) return false;
  int col = pendingOffset_, row = 0;
  view_->OffsetToPos(col, row);
  return row < view_->LastRow - 1;
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
  if (!load_) return;
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
  if (!load_) return {};
  const int64_t total = std::max<int64_t>(1, load_->Total());
  const int percent = static_cast<int>(std::min<int64_t>(99, load_->Done() * 100 / total));
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
  const int page = std::max(1, view_->ViewHeight / std::max(1, view_->LineHeight()));
  const bool farFromEnd = view_->CursorRow + 2 * page < view_->LastRow;
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
    if (FinishLoading()) command();
  });
}

}  // namespace prambus
