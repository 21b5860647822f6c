#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QPainter>
#include <QStandardPaths>
#include <QStatusBar>

#include "encodings/code_tables.h"
#include "extensions/extension_folders.h"
#include "find_dialogs.h"
#include "hex_windows.h"
#include "io/io_error.h"
#include "platform/services.h"
#include "plugin_host.h"
#include "recovery_offer.h"
#include "settings/settings.h"
#include "shell/status_text.h"
#include "single_copy.h"
#include "skin_host.h"
#include "surface_widget.h"
#include "views/hex_view.h"
#include "views/view_factory.h"

namespace prambus {

namespace {
constexpr int kBarSize = 22;
const QString kUntitled = "Безымянный.txt - Прамбус";
const QString kTitleTail = " - Прамбус";
}  // namespace

MainWindow::MainWindow(QStringList arguments, QString dataDir)
    : arguments_(std::move(arguments)), dataDir_(std::move(dataDir)) {
  setWindowTitle("Прамбус");
  setMinimumSize(123, 123);
  BuildMenus();
  BuildStatusBar();
  // Skins and plug-ins: the hosts fill "Шкурки" and "Плагины" at the first show.
  skins_ = std::make_unique<SkinHost>(*this, skinsMenu_);
  plugins_ = std::make_unique<PluginHost>(*this, pluginsMenu_);
  for (QAction* a : formatMenu_->actions())
    if (a->text() == "Настройка шкурки...")
      connect(a, &QAction::triggered, this, [this] { skins_->Configure(); });
  extensionFolders_ = ExtensionSearchFolders(
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(), PRAMBUS_LIBRARY_DIR,
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
  }
  connect(vbar_, &QScrollBar::valueChanged, this, [this] { ScrollBarChanged(true); });
  connect(hbar_, &QScrollBar::valueChanged, this, [this] { ScrollBarChanged(false); });
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
  findDialog_ = new FindDialog(this);
  replaceDialog_ = new ReplaceDialog(this);
  WireMenuCommands();
  setAcceptDrops(true);
  new SingleCopy(this);

  Cfg().EffOtstupX = Cfg().OtstupX;
  Cfg().EffOtstupY = Cfg().OtstupY;
  Cfg().ShagSaved = Cfg().Shag;
  Services().beep = [] { QApplication::beep(); };
  openDuration_ = -1;
  resize(786, 483 + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() {
  // Hidden, and its tool windows gone, before anything is destroyed: if the
  // base class hid it later, a tool window could be activated while this
  // window is half destroyed.
  hide();
  CloseHexToolWindows();
  delete findDialog_;
  findDialog_ = nullptr;
  delete replaceDialog_;
  replaceDialog_ = nullptr;
  canvas_.End();
  view_.reset();
  plugins_.reset();
  skins_.reset();
}

// ----------------------------------------------------------- start-up ----

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shownOnce_) return;
  shownOnce_ = true;
  OnFirstShow();
}

void MainWindow::OnFirstShow() {
  WindowsTable();  // the two built-in tables exist before any file is opened
  DosTable();
  skins_->Enumerate(extensionFolders_);
  plugins_->Enumerate(extensionFolders_);
  caretShown_ = false;
  fileName_.clear();
  canvas_.SetFont(Font{});
  LoadSettings();
  const std::string savedSkin = state_.defaults.skin;  // the capture takes the menu's
  CaptureWindowState();
  RebuildDialogFilters();
  if (arguments_.size() > 1) {
    OpenCommandLineFile(arguments_.at(1));
  } else {
    skins_->ChooseStored(savedSkin);
    SelectEncoding(state_.defaults.encodingIndex);
    FormResize();
    SetTitle(kUntitled);
  }
  SetModified(false);
  Cfg().TextSize = 16;
  Cfg().FirstPaintPending = false;
  view_->UpdateCaretPoint();
  Redraw();
  if (isActiveWindow()) ActivateHandler();
  QTimer::singleShot(0, this, [this] { OfferRecoveryCopies(*this); });
}

void MainWindow::OpenCommandLineFile(const QString& path) {
  try {
    OpenPath(path);
  } catch (const std::exception&) {
    CreateView(viewKind_);
    fileName_.clear();
    lastClientWidth_ = -1;
    FormResize();
    SetTitle(kUntitled);
    return;
  }
  if (fileName_.isEmpty()) {
    // Another copy shows the file and has come to the front: this one ends.
    ending_ = true;
    QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
    handedOver_ = true;
  }
}

void MainWindow::SetTitle(const QString& title) {
  setWindowTitle(modified_ ? "* " + title : title);
  QApplication::setApplicationDisplayName(QString());
}

void MainWindow::SetModified(bool m) {
  if (m == modified_) return;
  QString caption = windowTitle();
  if (m) {
    caption = "* " + caption;
  } else if (caption.startsWith("*")) {
    caption.remove(0, 2);
  }
  setWindowTitle(caption);
  modified_ = m;
}

// ------------------------------------------------------------- layout ----

void MainWindow::FormResize() {
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
  if (clientW != lastClientWidth_) {
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

void MainWindow::RefreshViewMenuItems() {
  for (size_t i = 0; i < viewItems_.size(); ++i) {
    view_->AttachMenuItem(static_cast<int>(i), viewItems_[i]);
    if (viewItems_[i]->IsCheckableCommand()) viewItems_[i]->CallHandler(viewItems_[i]->isChecked());
  }
}

void MainWindow::RecomputeScrollRanges() {
  if (!view_) return;
  const int surfaceH = surface_.height(), surfaceW = surface_.width();
  const int lh = view_->LineHeight();
  const ScrollRange v = ComputeScrollRange(vrange_, view_->GetDocumentHeight(), view_->ViewHeight,
                                           surfaceH, Cfg().EffOtstupY, view_->ScrollY, lh);
  const ScrollRange h =
      ComputeScrollRange(hrange_, view_->GetDocumentWidth(), view_->ViewWidth, surfaceW,
                         Cfg().EffOtstupX, view_->ScrollX, view_->CharWidth(' '));
  auto apply = [this](QScrollBar* bar, ScrollRange& stored, const ScrollRange& r, bool vertical) {
    stored = r;
    QSignalBlocker block(bar);
    if (!r.enabled) {
      bar->setRange(0, 0);
      bar->setEnabled(false);
      if (vertical)
        view_->SetScrollY(0);
      else
        view_->SetScrollX(0);
      return;
    }
    bar->setEnabled(true);
    bar->setRange(0, std::max(0, r.maximum - r.page));
    bar->setPageStep(std::max(1, r.page));
    bar->setSingleStep(r.smallChange);
    bar->setValue(r.position);
    if (r.runChangeHandler) {
      block.unblock();
      ScrollBarChanged(vertical);
    }
  };
  apply(vbar_, vrange_, v, true);
  apply(hbar_, hrange_, h, false);
}

void MainWindow::SyncScrollBars() {
  if (!view_) return;
  for (bool vertical : {true, false}) {
    QScrollBar* bar = vertical ? vbar_ : hbar_;
    ScrollRange& r = vertical ? vrange_ : hrange_;
    const int viewPos = vertical ? view_->ScrollY : view_->ScrollX;
    if (bar->isEnabled() && r.position != viewPos) {
      r.position = viewPos;
      QSignalBlocker block(bar);
      bar->setValue(viewPos);
    } else if (r.position + r.page > r.maximum && bar->isEnabled()) {
      ScrollBarChanged(vertical);
    }
  }
}

void MainWindow::ScrollBarChanged(bool vertical) {
  if (!view_) return;
  QScrollBar* bar = vertical ? vbar_ : hbar_;
  ScrollRange& r = vertical ? vrange_ : hrange_;
  r.position = ClampScrollPosition(bar->value(), r);
  HideCaret();
  if (vertical)
    view_->SetScrollY(r.position);
  else
    view_->SetScrollX(r.position);
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
  central_->update();
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
  if (view_->InsertMode) {
    p->fillRect(QRect(pt.x - 1, pt.y, 2, lh), Qt::white);
  } else {
    std::string_view row = view_->GetRow(view_->CursorRow);
    const bool onChar = view_->CursorCol < static_cast<int>(row.size());
    const int cw = canvas_.TextWidth(onChar ? row.substr(view_->CursorCol, 1) : " ");
    p->fillRect(QRect(pt.x, pt.y + lh - 4, cw, 3), Qt::white);
  }
  p->restore();
  central_->update(QRect(pt.x - 2, pt.y - 2, 64, lh + 4));
}

void MainWindow::RefreshStatusBar() {
  if (!view_) return;
  StatusInput in;
  in.cursorCol = view_->CursorCol;
  in.cursorRow = view_->CursorRow;
  in.hasSelection = view_->HasSelection();
  in.anchorCol = view_->AnchorCol;
  in.anchorRow = view_->AnchorRow;
  in.rowCount = view_->RowCount();
  in.insertMode = view_->InsertMode;
  in.openDurationMs = openDuration_;
  for (size_t i = 0; i + 1 < encodingActions_.size(); ++i)
    if (encodingActions_[i]->isChecked())
      in.encodingCaption = encodingActions_[i]->text().toStdString();
  const auto texts = StatusPanels(in);
  for (int i = 0; i < 6; ++i) panels_[i]->setText(QString::fromStdString(texts[i]));
}

// --------------------------------------------------------------- view ----

void MainWindow::FreeViewItems() {
  for (ViewMenuItem* item : viewItems_) {
    if (QMenu* sub = item->menu()) sub->deleteLater();
    delete item;
  }
  viewItems_.clear();
  formatInserted_ = extraInserted_ = 0;
}

void MainWindow::CreateView(int kind) {
  if (kind != viewKind_) FreeViewItems();
  CloseHexToolWindows();
  view_.reset();
  if (kind == kNoView) {
    viewKind_ = kNoView;
    return;
  }
  view_ = MakeView(kind, &canvas_);
  if (!view_) {  // no view of that kind in this build: keep a text view
    kind = kTextView;
    if (viewKind_ != kTextView) FreeViewItems();
    view_ = MakeView(kind, &canvas_);
  }
  const ViewMenuActions actions = view_->GetViewMenu();
  if (kind == viewKind_ && viewItems_.size() == actions.size()) {
    for (size_t i = 0; i < actions.size(); ++i) viewItems_[i]->SetHandler(actions[i].handler);
  } else {
    FreeViewItems();
    for (size_t i = 0; i < actions.size(); ++i) {
      const ViewMenuAction& a = actions[i];
      auto* item = new ViewMenuItem(QString::fromStdString(a.caption), a.checkable, this);
      if (a.checkable) item->setChecked(a.initiallyMarked);
      item->SetHandler(a.handler);
      connect(item, &QAction::triggered, this, [this, item] { ClickViewItem(item); });
      if (a.placement == kPlaceFormat) {
        QAction* before = formatMenu_->actions().value(formatInserted_, nullptr);
        formatMenu_->insertAction(before, item);
        ++formatInserted_;
      } else if (a.placement == kPlaceExtra) {
        QAction* before = extraMenu_->actions().value(5 + extraInserted_, nullptr);
        extraMenu_->insertAction(before, item);
        ++extraInserted_;
      } else if (a.placement - 2 < static_cast<int>(viewItems_.size())) {
        ViewMenuItem* parent = viewItems_[a.placement - 2];
        QMenu* sub = parent->menu();
        if (!sub) {
          sub = new QMenu(this);
          parent->setMenu(sub);
          connect(sub, &QMenu::aboutToShow, this, [parent] { parent->CallHandler(false); });
        }
        sub->addAction(item);
      }
      viewItems_.push_back(item);
    }
    viewKind_ = kind;
  }
  AttachHexView();
  for (size_t i = 0; i < viewItems_.size(); ++i)
    view_->AttachMenuItem(static_cast<int>(i), viewItems_[i]);
  const int index = kind == kTextView ? 0 : 1;
  for (int i = 0; i < 2; ++i) {
    viewKindActions_[i]->setChecked(i == index);
    contextViewKindActions_[i]->setChecked(i == index);
  }
  lastClientWidth_ = -1;  // the next layout sends the new view its width
}

void MainWindow::ClickViewItem(ViewMenuItem* item) {
  if (!view_) return;
  if (item->CallHandler(item->isChecked())) {
    SetModified(true);
    undoAction_->setEnabled(view_->CanUndo());
    redoAction_->setEnabled(view_->CanRedo());
  }
  FullRefresh();
}

void MainWindow::SwitchView(int tableIndex) {
  const int kind = Cfg().ViewKindTable[tableIndex];
  CaptureWindowState();
  for (int i = 0; i < 2; ++i) {
    viewKindActions_[i]->setChecked(i == tableIndex);
    contextViewKindActions_[i]->setChecked(i == tableIndex);
  }
  if (!view_ || !MakeView(kind, &canvas_)) return;  // no such view in this build
  const int offset = view_->PosToOffset(view_->CursorCol, view_->CursorRow);
  std::unique_ptr<ViewBase> old = std::move(view_);
  CreateView(kind);
  ApplyChecks(state_.kindChecks[tableIndex]);
  HideCaret();
  lastClientWidth_ = -1;
  FormResize();
  old->CopyContentTo(*view_);
  if (auto* oldHex = dynamic_cast<HexView*>(old.get())) {  // its windows went with CreateView
    oldHex->showDataWindow = nullptr;
    oldHex->paintDataWindow = nullptr;
    oldHex->formResize = nullptr;
  }
  old.reset();
  for (QAction* a : encodingActions_)
    if (a->isChecked()) a->trigger();
  int col = offset, row = 0;
  view_->OffsetToPos(col, row);
  view_->SetPosition(col, row, true);
  view_->SetPosition(col, row, false);
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

// ---------------------------------------------------------- activation ----

void MainWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
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
}

void MainWindow::DeactivateHandler() {
  HideCaret();
  caretTimer_->stop();
}

void MainWindow::BeforeModalDialog() {
  DeactivateHandler();
  if (stayOnTopAction_->isChecked()) {
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    show();
  }
}

void MainWindow::AfterModalDialog() {
  if (stayOnTopAction_->isChecked()) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
  }
  if (isActiveWindow()) ActivateHandler();
}

// ------------------------------------------------------------- ending ----

void MainWindow::Exit() {
  if (modified_ && AskToSave()) return;
  SaveSettingsAndQuit();
}

bool MainWindow::SaveSettingsAndQuit() {
  ending_ = true;
  PushCurrentToRecent();
  CaptureWindowState();
  SaveSettings();
  QApplication::exit(0);
  return true;
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (ending_ || handedOver_) {
    e->accept();
    return;
  }
  if (modified_ && AskToSave()) {
    e->ignore();
    return;
  }
  SaveSettingsAndQuit();
  e->accept();
}

}  // namespace prambus
