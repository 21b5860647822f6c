// New, Open, Save, Save As, dropped files and the open path of the main
// window, with the unsaved-document prompt.
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>

#include "io/io_error.h"
#include "io/posix_file.h"
#include "main_window.h"
#include "message_box.h"
#include "platform/services.h"
#include "settings/settings.h"
#include "shell/file_rules.h"
#include "shell/recent_list.h"
#include "shell/safe_save.h"
#include "single_copy.h"
#include "skin_host.h"
#include "views/view_factory.h"

namespace prambus {

namespace {
const QString kUntitled = "Безымянный.txt - Прамбус";
const QString kTitleTail = " - Прамбус";

quint32 HashOf(const QString& path) {
  return PathHash(std::u16string(reinterpret_cast<const char16_t*>(path.utf16()), path.size()));
}

// Qt's name-filter form of "Name|*.a;*.b|..." texts.
QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i] + " (" + patterns + ")";
  }
  return out.join(";;");
}
}  // namespace

void MainWindow::ShowPlainMessage(const QString& text) {
  BeforeModalDialog();
  QMessageBox box(QMessageBox::NoIcon, "Прамбус", text, QMessageBox::Ok, this);
  if (!promptAnswerForTest) box.exec();
  AfterModalDialog();
}

bool MainWindow::AskToSave() {
  MessageBox::CentreOnMainWindow(this);
  BeforeModalDialog();
  int answer;
  if (promptAnswerForTest) {
    answer = promptAnswerForTest();
  } else {
    MessageBox box(
        this, "Что делать с документом?",
        "Документ, с которым вы работали, не сохранён. Если вы сейчас его не сохраните, то "
        "все изменения будут утеряны. Сохранить?",
        {"Да", "Нет", "Отмена"});
    answer = box.ShowModal();
  }
  AfterModalDialog();
  if (answer == 1000) {
    Save();
    return modified_;
  }
  return answer != 1001;
}

void MainWindow::RebuildDialogFilters() {
  dialogFilter_ = QtFilter(DialogFilter(state_.bindings));
}

void MainWindow::OpenPath(const QString& rawPath) {
  const QString path = QFileInfo(rawPath).absoluteFilePath();
  { InputFile probe(path.toStdString()); }  // throws when it cannot be read
  const QString title = QFileInfo(path).fileName() + kTitleTail;
  const quint32 hash = HashOf(path);
  if (SingleCopy::HandOver(title, hash, this)) return;  // another copy shows it

  fileName_ = path;
  const std::string p = path.toStdString();
  const WindowAppearance* pinned = nullptr;
  for (const WindowAppearance& w : state_.pinned)
    if (w.path == p) pinned = &w;
  const WindowAppearance& record = pinned ? *pinned : state_.defaults;
  // The record's bounds and state (the default record holds what the window
  // had just now, so only a pinned record moves it).
  if (pinned) {
    setGeometry(record.left, record.top, record.width, record.height);
    if (record.windowState == 1)
      showMinimized();
    else if (record.windowState == 2)
      showMaximized();
    setVisible(record.visible || isVisible());
  }
  desiredColumn_ = -1;
  const int kind = pinned ? pinned->viewKind
                          : ChooseViewKind(p, state_.recent, state_.bindings, Cfg().RememberCurPos,
                                           state_.defaults.viewKind);
  CreateView(kind);
  ApplyChecks(state_.kindChecks[kind == 2 ? 1 : 0]);
  ApplyChecks(record.checks);
  skins_->ChooseStored(record.skin);
  if (record.minimalMode != minimalAction_->isChecked()) ToggleMinimalMode(pinned == nullptr);
  if (record.stayOnTop != stayOnTopAction_->isChecked()) ToggleStayOnTop();
  if (record.statusBar != statusBarAction_->isChecked() && !minimalAction_->isChecked())
    ToggleStatusBar();

  caretShown_ = false;
  lastClientWidth_ = -1;
  FormResize();
  QElapsedTimer timer;
  timer.start();
  try {
    view_->LoadFromFile(p);
  } catch (const std::exception&) {
    CreateView(viewKind_);
    lastClientWidth_ = -1;
    FormResize();
    Beep();
    ShowPlainMessage("Файл открыть не получилось (возможно, он слишком велик)");
  }
  SelectEncoding(record.encodingIndex);
  openDuration_ = static_cast<int>(timer.elapsed());
  RecomputeScrollRanges();
  const int recent = FindRecent(state_.recent, p);
  if (Cfg().RememberCurPos && recent >= 0) {
    view_->SetPosition(state_.recent[recent].col, state_.recent[recent].row, true);
    view_->SetPosition(state_.recent[recent].col, state_.recent[recent].row, false);
    SyncScrollBars();
  } else {
    vbar_->setValue(0);
    hbar_->setValue(0);
  }
  modified_ = false;
  setWindowTitle(title);
  undoAction_->setEnabled(false);
  redoAction_->setEnabled(false);
  openFolder_ = QFileInfo(path).absolutePath();
  windowHash_ = hash;
  HideCaret();
  Redraw();
  ToggleCaret();
  activateWindow();
}

void MainWindow::NewDocument() {
  caretShown_ = false;
  if (modified_ && AskToSave()) return;
  PushCurrentToRecent();
  CaptureWindowState();
  desiredColumn_ = -1;
  vbar_->setEnabled(false);
  hbar_->setEnabled(false);
  CreateView(viewKind_);
  SelectEncoding(state_.defaults.encodingIndex);
  if (state_.defaults.minimalMode != minimalAction_->isChecked()) ToggleMinimalMode(false);
  lastClientWidth_ = -1;
  FormResize();
  modified_ = false;
  setWindowTitle(kUntitled);
  undoAction_->setEnabled(false);
  redoAction_->setEnabled(false);
  fileName_.clear();
  openDuration_ = -1;
  windowHash_ = 0;
  activateWindow();
}

void MainWindow::OpenWithDialog() {
  if (modified_ && AskToSave()) return;
  PushCurrentToRecent();
  BeforeModalDialog();
  const QString path =
      QFileDialog::getOpenFileName(this, "Открыть файл", openFolder_, dialogFilter_);
  if (!path.isEmpty()) {
    CaptureWindowState();
    try {
      OpenPath(path);
    } catch (const std::exception&) {
      Beep();
    }
  }
  AfterModalDialog();
}

void MainWindow::OpenDropped(const QString& path) {
  if (modified_ && AskToSave()) return;
  PushCurrentToRecent();
  caretShown_ = false;
  CaptureWindowState();
  try {
    OpenPath(path);
  } catch (const std::exception&) {
    Beep();
  }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls() && e->mimeData()->urls().first().isLocalFile())
    e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
  const QList<QUrl> urls = e->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  e->acceptProposedAction();
  OpenDropped(urls.first().toLocalFile());
}

// Writes the document through a temporary file beside the target; the
// previous file stays untouched whenever anything fails.
bool MainWindow::WriteDocument(const QString& path) {
  const SaveResult r = SaveSafely(path.toStdString(), Cfg().TrySaveReadOnly,
                                  [this](const std::string& temp) { view_->SaveToFile(temp); });
  if (r == SaveResult::kSaved) return true;
  Beep();
  ShowPlainMessage("По всей видимости, файл защищён от записи. Не могу сохранить изменения.");
  return false;
}

bool MainWindow::Save() {
  if (!view_) return false;
  if (fileName_.isEmpty()) return SaveAs();
  if (!WriteDocument(fileName_)) return false;
  SetModified(false);
  return true;
}

bool MainWindow::SaveAs() {
  if (!view_) return false;
  BeforeModalDialog();
  QString chosenFilter;
  const QStringList filters = dialogFilter_.split(";;");
  const int preselect = FilterIndexOf(state_.bindings, ExtensionOf(fileName_.toStdString()));
  if (preselect >= 1 && preselect <= filters.size()) chosenFilter = filters[preselect - 1];
  QString q = saveAsNameForTest ? saveAsNameForTest()
                                : QFileDialog::getSaveFileName(this, "Сохранить как...", fileName_,
                                                               dialogFilter_, &chosenFilter);
  if (q.isEmpty()) {
    AfterModalDialog();
    return false;
  }
  const int group = static_cast<int>(filters.indexOf(chosenFilter)) + 1;
  if (QFileInfo(q).suffix().isEmpty() && group > 0)
    q += QString::fromStdString(FirstExtensionOfGroup(state_.bindings, group));
  const bool ok = WriteDocument(q);
  if (ok) {
    fileName_ = QFileInfo(q).absoluteFilePath();
    modified_ = false;
    setWindowTitle(QFileInfo(q).fileName() + kTitleTail);
    windowHash_ = HashOf(fileName_);
  }
  AfterModalDialog();
  return ok;
}

bool MainWindow::ShowsFile(const QString& title, quint32 hash) const {
  const QString t = windowTitle();
  return (t == title || t == "* " + title) && windowHash_ == hash && !fileName_.isEmpty();
}

}  // namespace prambus
