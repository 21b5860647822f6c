#include "main_window.h"

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QPainter>
#include <QStandardPaths>
#include <QStatusBar>

#include "data_window.h"
#include "dialog_prompts.h"
#include "encodings/code_tables.h"
#include "extensions/extension_folders.h"
#include "extensions/fresh_start.h"
#include "extensions/library_journal.h"
#include "extensions/listing_guard.h"
#include "find_dialog.h"
#include "help_window.h"
#include "interrupted_saves.h"
#include "message_box.h"
#include "platform/services.h"
#include "plugin_host.h"
#include "previous_document.h"
#include "recent_switcher.h"
#include "recovery_keeper.h"
#include "recovery_offer.h"
#include "replace_dialog.h"
#include "settings/settings.h"
#include "single_copy.h"
#include "skin_host.h"
#include "surface_widget.h"
#include "views/view_factory.h"
#include "window_stacking.h"

namespace prambus {

namespace {
constexpr int kBarSize = 22;

CommandLine CommandLineNaming(std::string file) {
  CommandLine line;
  line.file = std::move(file);
  return line;
}
}  // namespace

MainWindow::MainWindow(QStringList arguments, QString dataDir)
    : MainWindow(CommandLineNaming(arguments.size() > 1 ? NativePath(arguments[1]) : ""),
                 std::move(dataDir)) {}

MainWindow::MainWindow(const CommandLine& line, QString dataDir)
    : commandLineFile_(line.file),
      dataDir_(std::move(dataDir)),
      prompts_(std::make_unique<DialogPrompts>()) {
  setWindowTitle("Прамбус");
  setMinimumSize(123, 123);
  BuildMenus();
  BuildStatusBar();
  // Skins and plug-ins: the hosts fill "Шкурки" and "Плагины" at the first show.
  skins_ = std::make_unique<SkinHost>(*this, menus_.skins);
  plugins_ = std::make_unique<PluginHost>(*this, menus_.plugins);
  recovery_ = std::make_unique<RecoveryKeeper>(*this);
  const std::string programFolder =
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  extensionFolders_ = ExtensionSearchFolders(
      programFolder, {PRAMBUS_LIBRARY_DIR},
      QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                        "/prambus")
          .toStdString());

  central_ = new SurfaceWidget(this);
  setCentralWidget(central_);
  QPalette pal = central_->palette();
  pal.setColor(QPalette::Window, Qt::white);
  central_->setPalette(pal);
  vbar_ = new QScrollBar(Qt::Vertical, central_);
  hbar_ = new QScrollBar(Qt::Horizontal, central_);
  for (QScrollBar* bar : {vbar_, hbar_}) {
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setEnabled(false);
    bar->installEventFilter(central_);
  }
  connect(vbar_, &QScrollBar::valueChanged, this, [this] { ScrollBarChanged(true); });
  connect(hbar_, &QScrollBar::valueChanged, this, [this] { ScrollBarChanged(false); });
  connect(vbar_, &QScrollBar::actionTriggered, this, [this](int a) { ScrollBarStepped(true, a); });
  connect(hbar_, &QScrollBar::actionTriggered, this, [this](int a) { ScrollBarStepped(false, a); });
  grip_ = new QSizeGrip(central_);
  grip_->hide();

  // The surface font is the window font: "Lucida Console", 16 pixels.
  Font font;
  canvas_.SetFont(font);
  canvas_.SetBrushColor(0xFFFFFF);

  caretTimer_ = new QTimer(this);
  caretTimer_->setInterval(500);
  connect(caretTimer_, &QTimer::timeout, this, [this] {
    if (isActiveWindow() && view_) ToggleCaret();
  });
  autoScrollTimer_ = new QTimer(this);
  autoScrollTimer_->setInterval(50);
  connect(autoScrollTimer_, &QTimer::timeout, this, [this] { AutoScrollTick(); });
  autoScrollTimer_->start();
  loadTimer_ = new QTimer(this);
  loadTimer_->setInterval(0);
  connect(loadTimer_, &QTimer::timeout, this, [this] { LoadStep(); });
  loadProgress_ = new QLabel(this);
  loadProgress_->setAutoFillBackground(true);
  loadProgress_->setFrameShape(QFrame::Panel);
  loadProgress_->hide();
  relayoutTimer_ = new QTimer(this);
  relayoutTimer_->setSingleShot(true);
  relayoutTimer_->setInterval(kResizeSettleMs);
  connect(relayoutTimer_, &QTimer::timeout, this, [this] { FormResize(); });
  layoutTimer_ = new QTimer(this);
  layoutTimer_->setInterval(0);
  connect(layoutTimer_, &QTimer::timeout, this, [this] { LayoutStep(); });
  findDialog_ = new FindDialog(this);
  replaceDialog_ = new ReplaceDialog(this);
  switcher_ = new RecentSwitcher(this);
  setAcceptDrops(true);
  new SingleCopy(this);

  Cfg().EffOtstupX = Cfg().OtstupX;
  Cfg().EffOtstupY = Cfg().OtstupY;
  Cfg().ShagSaved = Cfg().Shag;
  Services().beep = [] { QApplication::beep(); };
  SwapDocument(Document());  // the window watches its document's revision from the start
  resize(786, 483 + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() {
  // Hidden, and its tool windows gone, before anything is destroyed: if the
  // base class hid it later, a tool window could be activated while this
  // window is half destroyed.
  hide();
  helpWindow_.reset();
  CloseHexToolWindows();
  delete findDialog_;
  findDialog_ = nullptr;
  delete replaceDialog_;
  replaceDialog_ = nullptr;
  canvas_.End();
  { const Document gone = SwapDocument(Document()); }
  plugins_.reset();
  skins_.reset();
  recovery_.reset();
}

// ----------------------------------------------------------- start-up ----

bool MainWindow::event(QEvent* e) {
  // A change of flags makes the native window anew; the next show tells the
  // windows this one owns.
  if (e->type() == QEvent::WinIdChange) nativeWindowMade_ = true;
  return QMainWindow::event(e);
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  // Shown again after a change of its frame (stay-on-top, minimal mode): the
  // desktop's keyboard focus never left the window, so no activation
  // arrives, but the toolkit forgot the window was active when it hid it.
  // Without this the caret stops and Ctrl+Tab finds no active window.
  if (QGuiApplication::focusWindow() == windowHandle() && QApplication::activeWindow() != this)
    QApplication::setActiveWindow(this);
  // The data window and the other tool windows stay above this window, also
  // when its native window was just made anew.
  if (nativeWindowMade_) {
    nativeWindowMade_ = false;
    ReshowOwnedToolWindows(this);
  }
  if (shownOnce_) return;
  shownOnce_ = true;
  OnFirstShow();
}

void MainWindow::OnFirstShow() {
  WindowsTable();  // the two built-in tables exist before any file is opened
  DosTable();
  std::vector<RefusedLibrary> refused;
  std::vector<LeftOutLibrary> leftOut;
  {
    // A library that ended or hung an earlier start is left out of this one.
    LibraryJournal journal(
        QFile::encodeName(QFileInfo(DataFileForWriting()).absolutePath() + "/library-faults")
            .toStdString());
    leftOut = journal.TakeOverEndedRuns();
    // A library stuck past the bound costs this start: it is made afresh
    // without the library, and that start tells the user on screen.
    // A fault while one is loaded is made afresh the same way.
    const FreshStart fresh = FreshStart::OfThisProgram(environ);
    ListingFaultRestart faults(fresh);
    ListingGuard guard(
        journal, kListingBound,
        [&fresh](const std::string& path, bool noted) { fresh.Replace(path, noted); }, &faults);
    skins_->Enumerate(extensionFolders_, &refused, &guard);
    plugins_->Enumerate(extensionFolders_, &refused, &guard);
  }
  caretShown_ = false;
  canvas_.SetFont(Font{});
  // Before any file is read (data.dat included): a file a killed save left
  // half rewritten gets its old content back first, if the user wants.
  OfferInterruptedSaves(*this);
  const bool settingsAreNew = LoadSettings();
  // The saved skin before the window state is captured into the default
  // record: a file opened now takes its look from that record.
  skins_->ChooseStored(state_.defaults.skin);
  CaptureWindowState();
  RebuildDialogFilters();
  if (!commandLineFile_.empty()) {
    OpenCommandLineFile(commandLineFile_);
  } else {
    SelectEncoding(state_.defaults.encodingId);
    FormResize();
    RefreshTitle();
  }
  if (!handedOver_) ApplyStartModes();
  // The first start's answers (the extensions bound in the welcome) and a
  // start afresh after a damaged file are on disk at once, not only at exit:
  // a program killed now must not greet the user again.
  if (settingsAreNew && !handedOver_) SaveSettings();
  Cfg().TextSize = 16;
  Cfg().FirstPaintPending = false;
  view_->UpdateCaretPoint();
  Redraw();
  if (isActiveWindow()) ActivateHandler();
  if (!refused.empty())
    QTimer::singleShot(0, this, [this, note = RefusedLibrariesNote(refused)] {
      ShowNote(QString::fromStdString(note));
    });
  if (!leftOut.empty())
    QTimer::singleShot(
        0, this,
        [this, note = LeftOutLibrariesNote(leftOut, static_cast<int>(kListingBound.count()))] {
          ShowNote(QString::fromStdString(note));
        });
  QTimer::singleShot(0, this, [this] { OfferRecoveryCopies(*this); });
}

// --------------------------------------------------------------- view ----

void MainWindow::CreateView(int kind) {
  if (kind != viewKind_) FreeViewItems();
  CloseHexToolWindows();
  // The document shown so far goes before the new view is made.
  { const Document gone = SwapDocument(Document()); }
  if (kind == kNoView) {
    viewKind_ = kNoView;
    return;
  }
  std::unique_ptr<ViewBase> view = MakeView(kind, &canvas_);
  if (!view) {  // no view of that kind in this build: keep a text view
    kind = kTextView;
    if (viewKind_ != kTextView) FreeViewItems();
    view = MakeView(kind, &canvas_);
  }
  doc_.SetView(std::move(view));
  SeatView(kind);
}

void MainWindow::SeatView(int kind) {
  const ViewMenuActions actions = view_->GetViewMenu();
  if (kind == viewKind_ && viewItems_.size() == actions.size()) {
    for (size_t i = 0; i < actions.size(); ++i) viewItems_[i]->SetHandler(actions[i].handler);
  } else {
    FreeViewItems();
    PlaceViewItems(actions);
    viewKind_ = kind;
  }
  AttachHexView();
  for (size_t i = 0; i < viewItems_.size(); ++i)
    view_->AttachMenuItem(static_cast<int>(i), viewItems_[i]);
  const int index = kind == kTextView ? 0 : 1;
  for (int i = 0; i < 2; ++i) actions_.viewKinds[i]->setChecked(i == index);
  // "Заменять коды" is for codes: the replace window follows every switch.
  replaceDialog_->codesCheck->setEnabled(kind == kHexView);
  // Numbers are looked for in the hex view's bytes only.
  findDialog_->ShowNumberChoice(kind == kHexView);
  lastClientWidth_ = -1;  // the next layout sends the new view its width
}

// ------------------------------------------------------------- layout ----

// Dragging the window's edge sends a resize for every step: the surface
// follows each at once and the view repaints its rows as they are, while the
// new width, which lays out the whole document again, goes to the view once
// the size has settled.
void MainWindow::SurfaceResized() {
  FormResize(true);
}

void MainWindow::FormResize(bool settleWidth) {
  if (!central_ || !vbar_) return;
  const bool statusVisible = statusBar()->isVisible();
  const int statusH = statusVisible ? statusBar()->height() : 0;
  const int clientW = central_->width();
  const int clientH = central_->height() + statusH;
  const SurfaceLayout l = ComputeSurfaceLayout(clientW, clientH, kBarSize, kBarSize, statusH,
                                               Cfg().OtstupX, Cfg().OtstupY);
  Cfg().EffOtstupX = l.effX;
  Cfg().EffOtstupY = l.effY;

  canvas_.End();
  surface_ = QImage(std::max(1, l.width), std::max(1, l.height), QImage::Format_RGB32);
  surface_.fill(ToQColor(canvas_.BrushColor()));
  canvas_.Begin(&surface_);
  caretShown_ = false;  // the new surface carries no caret
  hbar_->setGeometry(0, l.height, l.width, kBarSize);
  vbar_->setGeometry(l.width, 0, kBarSize, l.height);
  grip_->setGeometry(l.width, l.height, kBarSize, kBarSize);
  grip_->setVisible(!statusVisible);
  vLargeChange_ = static_cast<int>(std::lrint(0.8 * clientH));
  hLargeChange_ = static_cast<int>(std::lrint(0.8 * clientW));

  if (!view_) return;
  // A pass serving events keeps the rows as they are: the width waits too.
  if (clientW != lastClientWidth_ && (settleWidth || passRunning_) && lastClientWidth_ >= 0) {
    relayoutTimer_->start();  // restarted by every resize until they stop
  } else if (clientW != lastClientWidth_) {
    relayoutTimer_->stop();
    lastClientWidth_ = clientW;
    view_->SetViewWidth(l.width - 2 * l.effX);
    RefreshViewMenuItems();
  }
  view_->SetViewHeight(l.height - 2 * l.effY);
  RecomputeScrollRanges();
  SyncScrollBars();
  HideCaret();
  Redraw();
  ToggleCaret();
}

void MainWindow::FullRefresh() {
  if (!view_) return;
  HideCaret();
  RecomputeScrollRanges();
  view_->SetViewWidth(surface_.width() - 2 * Cfg().EffOtstupX);
  view_->SetViewHeight(surface_.height() - 2 * Cfg().EffOtstupY);
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

// -------------------------------------------------------------- paint ----

void MainWindow::Redraw() {
  if (!canvas_.Painter()) return;
  const int w = surface_.width(), h = surface_.height();
  skins_->PaintBackground(canvas_, w, h);  // the chosen skin, or the surface brush
  if (view_) {
    const int ex = Cfg().EffOtstupX, ey = Cfg().EffOtstupY;
    canvas_.SetClip({ex, ey, w - ex, h - ey});
    view_->Paint();
    canvas_.RemoveClip();
  }
  // Only the surface: the scroll bars beside it are children of the same
  // widget, and a whole-widget update repaints them too, which costs more
  // than the document's own frame (they repaint themselves when they move).
  central_->update(QRect(0, 0, surface_.width(), surface_.height()));
  ContinueLayoutLater();
}

void MainWindow::PaintClient(QPainter& p) {
  const QPalette& pal = palette();
  p.fillRect(central_->rect(), Qt::white);
  if (view_) {
    const QRect r(1, 1, surface_.width() - 2, surface_.height() - 2);
    p.drawImage(r.topLeft(), surface_, r);
  }
  p.setPen(pal.color(QPalette::Dark));
  p.drawLine(central_->width(), 0, 0, 0);
  p.drawLine(0, 0, 0, central_->height());
  if (statusBar()->isVisible()) {
    p.fillRect(QRect(vbar_->x(), hbar_->y(), central_->width() - vbar_->x(),
                     central_->height() - hbar_->y()),
               pal.color(QPalette::Button));
  }
}

// -------------------------------------------------------------- caret ----

void MainWindow::ToggleCaret() {
  if (Cfg().FirstPaintPending || !view_) return;
  DrawCaret();
  caretShown_ = !caretShown_;
  if (statusBar()->isVisible()) RefreshStatusBar();
}

void MainWindow::HideCaret() {
  if (caretShown_) ToggleCaret();
}

void MainWindow::DrawCaret() {
  QPainter* p = canvas_.Painter();
  if (!p) return;
  const Point pt = view_->GetCaretPoint();
  const int lh = view_->LineHeight();
  const int ex = Cfg().EffOtstupX, ey = Cfg().EffOtstupY;
  const int w = surface_.width(), h = surface_.height();
  const Rect area = view_->GetCaretArea();
  QRect clip(QPoint(ex - 1, ey - 1), QPoint(w - ex - 1, h - ey - 1));
  clip &= QRect(QPoint(area.left + ex, area.top + ey), QPoint(area.right - 1, area.bottom - 1));
  p->save();
  p->setClipRect(clip);
  p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  if (view_->InsertMode()) {
    p->fillRect(QRect(pt.x - 1, pt.y, 2, lh), Qt::white);
  } else {
    std::string_view row = view_->GetRow(view_->CursorRow());
    const bool onChar = view_->CursorColumn() < static_cast<int>(row.size());
    const int cw = canvas_.TextWidth(onChar ? row.substr(view_->CursorColumn(), 1) : " ");
    p->fillRect(QRect(pt.x, pt.y + lh - 4, cw, 3), Qt::white);
  }
  p->restore();
  central_->update(QRect(pt.x - 2, pt.y - 2, 64, lh + 4));
}

// ---------------------------------------------------------- activation ----

void MainWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::WindowStateChange) FollowMinimized();
  if (e->type() == QEvent::ActivationChange) {
    if (isActiveWindow())
      ActivateHandler();
    else
      DeactivateHandler();
  }
}

void MainWindow::ActivateHandler() {
  if (!view_ || Cfg().FirstPaintPending) return;
  if (!caretShown_) ToggleCaret();
  caretTimer_->start();
  QueueDiskCheck();
}

void MainWindow::DeactivateHandler() {
  HideCaret();
  caretTimer_->stop();
}

// ------------------------------------------------------- modal steps ----

// The program's windows that stay on top (the data window, the find and
// replace windows) go below the dialog while it is up, so that it never
// opens under them, whatever kind of dialog it is; they come back on top
// when the outermost dialog has gone.
void MainWindow::BeforeModalDialog() {
  DeactivateHandler();
  SetTopmost(false);
  if (modalDepth_++ == 0) loweredWindows_ = LowerTopmostWindows(this);
}

void MainWindow::AfterModalDialog() {
  if (modalDepth_ > 0 && --modalDepth_ == 0)
    RaiseTopmostWindowsAgain(std::exchange(loweredWindows_, {}));
  RestoreTopmost();
  if (isActiveWindow()) ActivateHandler();
}

void MainWindow::SetTopmost(bool on) {
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  const bool visible = isVisible();
  SetStaysOnTopInPlace(on);
  if (visible) show();
}

void MainWindow::RestoreTopmost() {
  const bool searchWindowShown =
      (findDialog_ && findDialog_->isVisible()) || (replaceDialog_ && replaceDialog_->isVisible());
  if (actions_.stayOnTop->isChecked() && !searchWindowShown) SetTopmost(true);
}

QWidget* MainWindow::PromptParent() {
  QWidget* active = QApplication::activeWindow();
  if (active && (active == findDialog_ || active == replaceDialog_ ||
                 active == static_cast<QWidget*>(dataWindow_)))
    return active;
  return this;
}

void MainWindow::SetPrompts(std::unique_ptr<UserPrompts> prompts) {
  prompts_ = std::move(prompts);
}

void MainWindow::ShowNote(const QString& text, QWidget* over) {
  if (!over) over = PromptParent();
  BeforeModalDialog();
  prompts_->Note(over, text);
  AfterModalDialog();
  BackTo(over);
}

// The window a message answered takes the keyboard again when it closes
// (the desktop may hand it to the main window instead).
void MainWindow::BackTo(QWidget* answered) {
  if (answered == this || !answered->isVisible()) return;
  answered->raise();
  answered->activateWindow();
}

int MainWindow::Ask(const QString& caption, const QString& text, const QStringList& buttons) {
  MessageBox::CentreOnMainWindow(this);
  QWidget* over = PromptParent();
  BeforeModalDialog();
  const int answer = prompts_->Ask(over, caption, text, buttons);
  AfterModalDialog();
  BackTo(over);
  return answer;
}

int MainWindow::AskBeforeShown(const QString& caption, const QString& text,
                               const QStringList& buttons) {
  BeforeModalDialog();
  const int answer = prompts_->AskBeforeWindow(caption, text, buttons);
  AfterModalDialog();
  return answer;
}

}  // namespace prambus
