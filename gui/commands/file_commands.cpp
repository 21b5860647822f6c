// "Новый", "Открыть...", "Сохранить", "Сохранить как..." and the question
// about an unsaved document that comes before them.
#include <QTimer>
#include <QWindow>

#include "io/disk_identity.h"
#include "io/io_error.h"
#include "io/lexical_path.h"
#include "main_window.h"
#include "platform/services.h"
#include "recovery_keeper.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shell/file_rules.h"
#include "shell/safe_save.h"
#include "skin_host.h"

namespace prambus {

namespace {
// Qt's name-filter form of "Name|*.a;*.b|..." texts.
QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    // Every file on this desktop is "*": "*.*" would hide names without a
    // dot, and the save dialog would put ".*" in place of the name's own
    // extension.
    if (patterns == "*.*") patterns = "*";
    out << parts[i] + " (" + patterns + ")";
  }
  return out.join(";;");
}
}  // namespace

bool MainWindow::AskToSave() {
  const int answer =
      Ask("Что делать с документом?",
          "Документ, с которым вы работали, не сохранён. Если вы сейчас его не сохраните, то "
          "все изменения будут утеряны. Сохранить?",
          {"Да", "Нет", "Отмена"});
  if (answer == 1000) {
    Save();
    return doc_.Modified();
  }
  if (answer == 1001) recovery_->GiveUp();
  return answer != 1001;
}

void MainWindow::RebuildDialogFilters() {
  dialogFilter_ = QtFilter(DialogFilter(state_.bindings));
}

void MainWindow::NewDocument() {
  caretShown_ = false;
  if (doc_.Modified() && AskToSave()) return;
  PushCurrentToRecent();
  CaptureWindowState();
  desiredColumn_ = -1;
  vbar_->setEnabled(false);
  hbar_->setEnabled(false);
  CreateView(viewKind_);
  SelectEncoding(state_.defaults.encodingId);
  if (state_.defaults.minimalMode != actions_.minimalMode->isChecked()) ToggleMinimalMode(false);
  // An untitled document has the default appearance: after a pinned file the
  // window returns to its default place, size and modes.
  ApplyPlacement(state_.defaults);
  ApplyLook(state_.defaults);
  if (state_.defaults.stayOnTop != actions_.stayOnTop->isChecked()) ToggleStayOnTop();
  if (state_.defaults.statusBar != actions_.statusBar->isChecked() &&
      !actions_.minimalMode->isChecked())
    ToggleStatusBar();
  lastClientWidth_ = -1;
  FormResize();
  RefreshTitle();
  RefreshUndoRedo();
  activateWindow();
}

void MainWindow::OpenWithDialog() {
  if (doc_.Modified() && AskToSave()) return;
  PushCurrentToRecent();
  BeforeModalDialog();
  const QString chosen = prompts_->OpenFileName(this, "Открыть файл", openFolder_, dialogFilter_);
  const std::optional<std::string> path = chosen.isEmpty() ? std::nullopt : ChosenPath(chosen);
  if (path) {
    CaptureWindowState();
    try {
      OpenPath(*path);
    } catch (const IoError& e) {
      ReportCannotOpen(*path, e);
    }
  }
  AfterModalDialog();
}

// Writes the whole document without ever losing the file on disk; a
// failure is reported as it happened and leaves the document modified.
// Whoever saves comes here, so a document still loading is never written
// in part.
bool MainWindow::WriteDocument(const std::string& path) {
  if (!EnsureWholeDocument() || !view_) return false;
  SaveOptions options;
  options.tryReadOnly = Cfg().TrySaveReadOnly;
  const SaveOutcome saved = SaveSafely(path, options, [this](int fd) { view_->WriteContent(fd); });
  if (saved.Saved()) return true;
  ReportFailure(SaveFailedMessage(path, saved));
  return false;
}

// The beep alone is rarely heard on a desktop: a note says what failed. At
// start-up the window is not on the screen yet; the note waits for it (a
// little while at most), so that it is plain whose note it is.
void MainWindow::ReportFailure(const std::string& text) {
  Beep();
  const QString note = QString::fromStdString(text);
  if (windowHandle() && windowHandle()->isExposed()) {
    ShowNote(note);
    return;
  }
  auto* wait = new QTimer(this);
  connect(wait, &QTimer::timeout, this, [this, wait, note, tries = 0]() mutable {
    if (!(windowHandle() && windowHandle()->isExposed()) && ++tries < 50) return;
    wait->deleteLater();
    ShowNote(note);
  });
  wait->start(20);
}

void MainWindow::NameSavedDocument(const std::string& path) {
  doc_.path = path;
  doc_.MarkSaved(WithContentHash(doc_.path, DiskIdentityOf(doc_.path)));
  RefreshTitle();
}

void MainWindow::NameRecoveredDocument(const std::string& path) {
  doc_.path = AbsolutePathOf(path);
  doc_.disk = DiskIdentity{};
  doc_.MarkUnsaved();
  RefreshTitle();
}

void MainWindow::ReportCannotOpen(const std::string& path, const IoError& e) {
  ReportFailure(CannotOpenMessage(path, e.Problem(), e.Errno()));
}

bool MainWindow::Save() {
  if (!EnsureWholeDocument() || !view_) return false;
  if (doc_.path.empty()) return SaveAs();
  switch (AskBeforeWritingOverFile()) {
    case OverwriteAnswer::kWrite:
      break;
    case OverwriteAnswer::kSaveAs:
      return SaveAs();
    case OverwriteAnswer::kCancel:
      return false;
  }
  if (!WriteDocument(doc_.path)) return false;
  doc_.MarkSaved(WithContentHash(doc_.path, DiskIdentityOf(doc_.path)));
  RefreshTitle();
  return true;
}

bool MainWindow::SaveAs() {
  if (!EnsureWholeDocument() || !view_) return false;
  BeforeModalDialog();
  QString chosenFilter;
  const QStringList filters = dialogFilter_.split(";;");
  const int preselect = FilterIndexOf(state_.bindings, ExtensionOf(doc_.path));
  if (preselect >= 1 && preselect <= filters.size()) chosenFilter = filters[preselect - 1];
  // The dialog is offered the document's name as text; given back, that
  // text means the document's own file (ChosenPath), whatever its bytes.
  const QString chosen =
      prompts_->SaveFileName(this, "Сохранить как...", FileName(), dialogFilter_, &chosenFilter);
  std::optional<std::string> path = chosen.isEmpty() ? std::nullopt : ChosenPath(chosen);
  if (!path) {
    AfterModalDialog();
    return false;
  }
  const int group = static_cast<int>(filters.indexOf(chosenFilter)) + 1;
  if (ExtensionOf(*path).size() <= 1 && group > 0)  // no extension, or only its dot
    *path += FirstExtensionOfGroup(state_.bindings, group);
  const bool ok = WriteDocument(*path);
  if (ok) NameSavedDocument(*path);
  AfterModalDialog();
  return ok;
}

}  // namespace prambus

namespace prambus {

void MainWindow::PlaceCursorAt(uint64_t offset) {
  if (!view_) return;
  const int64_t length = view_->GetTextLength();
  int col = static_cast<int>(
      std::min<uint64_t>(offset, static_cast<uint64_t>(std::max<int64_t>(0, length))));
  int row = 0;
  view_->OffsetToPos(col, row);
  view_->SetPosition(col, row, true);
  view_->SetPosition(col, row, false);
  view_->ScrollToCaret();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
}

}  // namespace prambus
