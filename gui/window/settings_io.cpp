// Loading data.dat at start-up, applying it to the window, capturing the
// window state back and writing data.dat at the end.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include "encodings/stored_encoding.h"
#include "main_window.h"
#include "settings/damaged_settings.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shell/opening_encoding.h"
#include "shell/pinned_files.h"
#include "shell/recent_list.h"
#include "skin_host.h"
#include "views/view_factory.h"

namespace prambus {

namespace {
QString ConfigDir() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/prambus";
}
std::string ProgramFolder() {
  return ProgramFolderForSettings(QCoreApplication::applicationDirPath().toStdString(),
                                  PRAMBUS_INSTALL_BIN_DIR);
}
}  // namespace

QString MainWindow::DataFileForReading() const {
  if (!dataDir_.isEmpty()) return dataDir_ + "/data.dat";
  return QString::fromStdString(
      prambus::DataFileForReading(ProgramFolder(), ConfigDir().toStdString()));
}

QString MainWindow::DataFileForWriting() const {
  if (!dataDir_.isEmpty()) return dataDir_ + "/data.dat";
  return QString::fromStdString(
      prambus::DataFileForWriting(ProgramFolder(), ConfigDir().toStdString()));
}

bool MainWindow::LoadSettings() {
  Settings& cfg = Cfg();
  const QString path = DataFileForReading();
  const bool exists = QFileInfo::exists(path);
  bool damaged = false;
  const Settings settingsBefore = cfg;
  const StoredState stateBefore = state_;
  bool read = exists && ReadDataFile(path.toStdString(), state_, cfg, &damaged);
  bool setAside = false;
  if (read && damaged) {
    if (StartAfreshFromDamaged(path)) {
      cfg = settingsBefore;
      state_ = stateBefore;
      read = false;
      setAside = true;
    } else {
      DistrustDamagedAppearance(state_, cfg);
    }
  }
  if (!read) {
    // First run: the window centred on the work area, then the welcome
    // window, defaults and a text view. The window takes its place first: the
    // messages the welcome may bring are centred on it while it is not yet
    // on the screen. A settings file that cannot be read gives the defaults
    // without the greeting (the user has been here before) and is kept as
    // it is.
    const QRect area = screen()->availableGeometry();
    move(area.center() - rect().center());
    if (!exists) RunFirstStartWelcome();
    // A damaged file set aside: this run's settings make a new one.
    if (exists && !setAside) {
      // Never written over: when it lies where data.dat is written, the
      // settings of this run are not saved at all.
      dataFileUnreadable_ = path == DataFileForWriting();
      QTimer::singleShot(0, this, [this, path] {
        ShowNote("Не могу прочитать файл настроек \"" + path +
                 "\". Работаю с настройками по умолчанию, а сам файл оставлю как есть.");
      });
    }
    state_.recent.assign(static_cast<size_t>(cfg.MaxRecentListLen), RecentEntry{});
    state_.encodings.clear();
    CreateView(kTextView);
    return true;
  }
  // What could not be read stays in the file: writing it would put defaults
  // in its place.
  if (damaged) dataFileUnreadable_ = path == DataFileForWriting();
  CompactRecent(state_.recent);
  KeepBoundExtensions();
  ApplyWindowState(state_.defaults, true);
  CreateView(state_.defaults.viewKind);
  if (viewKind_ == state_.defaults.viewKind) ApplyChecks(state_.defaults.checks);
  canvas_.SetBrushColor(state_.defaults.background);
  canvas_.SetFont(state_.surfaceFont);
  if (view_) view_->SetFont(state_.surfaceFont);
  ApplyMinimalModeShortcut();
  RestoreLoadedEncodings();
  SelectEncoding(state_.defaults.encodingId);
  return false;
}

// Asked before the window has its place, since what was read may not give
// it a usable one. True when the damaged file was set aside, so that this
// run starts from the defaults and writes a new file at its end.
bool MainWindow::StartAfreshFromDamaged(const QString& path) {
  const std::string file = QFile::encodeName(path).toStdString();
  const std::string aside = DamagedSettingsName(file, std::time(nullptr));
  const int answer =
      AskBeforeShown("Прамбус", QString::fromStdString(DamagedSettingsQuestion(file, aside)),
                     {"Начать заново", "Оставить как есть"});
  if (answer != 1000) return false;
  const int err = SetDamagedSettingsAside(file, aside);
  if (err == 0) return true;
  ShowNote(QString::fromStdString(DamagedSettingsNotSetAside(file, aside, err)));
  return false;
}

void MainWindow::ApplyWindowState(const WindowAppearance& w, bool restoreBounds) {
  if (restoreBounds) {
    RestoreBounds(w);
    if (w.windowState == 2) setWindowState(windowState() | Qt::WindowMaximized);
  }
  actions_.minimalMode->setChecked(w.minimalMode);
  actions_.stayOnTop->setChecked(w.stayOnTop);
  if (w.statusBar != actions_.statusBar->isChecked() && !w.minimalMode) {
    actions_.statusBar->setChecked(w.statusBar);
    statusBar()->setVisible(w.statusBar);
  } else {
    actions_.statusBar->setChecked(w.statusBar);
  }
}

// A record's skin, or its background colour when it has none.
void MainWindow::ApplyLook(const WindowAppearance& w) {
  skins_->ChooseStored(w.skin);
  if (w.skin.empty()) canvas_.SetBrushColor(w.background);
}

// The stored bounds on the screen the window lay on (the one holding its
// centre, else the one it overlaps most, else the primary screen), so that
// it always opens on a screen that is there, at most as large as that screen.
void MainWindow::RestoreBounds(const WindowAppearance& w) {
  const int64_t cx = int64_t{w.left} + std::max(0, w.width) / 2;
  const int64_t cy = int64_t{w.top} + std::max(0, w.height) / 2;
  const auto fit = [](int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -65535, 65535));
  };
  QScreen* target = QGuiApplication::screenAt(QPoint(fit(cx), fit(cy)));
  if (!target) {
    const QRect stored(fit(w.left), fit(w.top), std::clamp(w.width, 1, 65535),
                       std::clamp(w.height, 1, 65535));
    int64_t best = 0;
    for (QScreen* s : QGuiApplication::screens()) {
      const QRect overlap = s->availableGeometry() & stored;
      const int64_t area = int64_t{overlap.width()} * overlap.height();
      if (!overlap.isEmpty() && area > best) best = area, target = s;
    }
  }
  if (!target) target = QGuiApplication::primaryScreen();
  const QRect a = target->availableGeometry();
  const WindowBounds b = RestoreWindowBounds(w, {a.x(), a.y(), a.width(), a.height()},
                                             Cfg().MinRestoredWidth, Cfg().MinRestoredHeight);
  setGeometry(b.left, b.top, b.width, b.height);
}

// A record's place and size, and whether the window is maximized. A window is
// never minimized by opening a document: the user is looking at it.
void MainWindow::ApplyPlacement(const WindowAppearance& w) {
  const Qt::WindowStates normal = windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
  const bool maximize = w.windowState == 2;
  if (isMaximized() && maximize && normalGeometry() == QRect(w.left, w.top, w.width, w.height))
    return;  // already there
  if (windowState() != normal) setWindowState(normal);
  RestoreBounds(w);
  if (maximize) setWindowState(normal | Qt::WindowMaximized);
}

WindowAppearance MainWindow::CurrentAppearance() const {
  WindowAppearance a;
  const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
  a.left = g.left();
  a.top = g.top();
  a.width = g.width();
  a.height = g.height();
  a.windowState = isMinimized() ? 1 : isMaximized() ? 2 : 0;
  a.visible = isVisible();
  a.minimalMode = actions_.minimalMode->isChecked();
  a.stayOnTop = actions_.stayOnTop->isChecked();
  a.statusBar = actions_.statusBar->isChecked();
  a.viewKind = static_cast<int16_t>(viewKind_ == 2 ? 2 : 1);
  a.checks = CurrentChecks();
  a.skin = skins_->ChosenPath();
  a.background = canvas_.BrushColor();
  StoreEncoding(doc_.encoding, encodings_.LoadedList(), a.encodingId, a.encodingIndex);
  return a;
}

// Into the open file's pinned record (the first with its path), or into the
// default record and the current kind's default check list.
void MainWindow::CaptureWindowState() {
  WindowAppearance now = CurrentAppearance();
  const int pinned = doc_.path.empty() ? -1 : FindPinned(state_.pinned, doc_.path);
  if (pinned >= 0) {
    now.path = state_.pinned[static_cast<size_t>(pinned)].path;
    state_.pinned[static_cast<size_t>(pinned)] = std::move(now);
    return;
  }
  if (viewKind_ == 1 || viewKind_ == 2) state_.kindChecks[viewKind_ - 1] = now.checks;
  StoreEncoding(DefaultRecordEncoding(encodings_, now.encodingId, state_.defaults.encodingId),
                encodings_.LoadedList(), now.encodingId, now.encodingIndex);
  state_.defaults = std::move(now);
}

void MainWindow::PushCurrentToRecent() {
  if (doc_.path.empty() || !view_) return;
  PushRecent(state_.recent, doc_.path, view_->CursorColumn(), view_->CursorRow(),
             static_cast<uint8_t>(viewKind_), doc_.encoding);
}

bool MainWindow::SaveSettings() {
  if (dataFileUnreadable_) return true;  // the file that could not be read is left alone
  state_.surfaceFont = canvas_.GetFont();
  state_.encodings = encodings_.LoadedList();
  // The positions older programs read count in that list as it is now.
  StoreEncoding(state_.defaults.encodingId, state_.encodings, state_.defaults.encodingId,
                state_.defaults.encodingIndex);
  for (WindowAppearance& w : state_.pinned)
    StoreEncoding(w.encodingId, state_.encodings, w.encodingId, w.encodingIndex);
  const QString path = DataFileForWriting();
  QDir().mkpath(QFileInfo(path).absolutePath());
  if (WriteDataFile(path.toStdString(), state_, Cfg())) return true;
  ShowNote("Не могу сохранить настройки в файл \"" + path +
           "\". При следующем запуске они будут прежними.");
  return false;
}

}  // namespace prambus
