// The file a document belongs to, changed, replaced or taken away by another
// program: looked at when the window is activated and always before a save,
// and the user asked what to do (or the file loaded anew quietly when a fine
// setting says so). A look is one stat of the file, nothing while typing.
#include <QTimer>

#include "io/io_error.h"
#include "io/posix_file.h"
#include "main_window.h"
#include "previous_document.h"
#include "settings/settings.h"
#include "shell/disk_watch.h"
#include "shell/file_messages.h"

namespace prambus {

void MainWindow::QueueDiskCheck() {
  if (diskCheckQueued_) return;
  diskCheckQueued_ = true;
  // After the activation has been handled, never inside it.
  QTimer::singleShot(0, this, [this] {
    diskCheckQueued_ = false;
    CheckDiskFile();
  });
}

void MainWindow::CheckDiskFile() {
  // A question or dialog of this window is up, a load or a replacing pass
  // runs or the window ends: the next activation looks again.
  if (diskAsking_ || modalDepth_ > 0 || doc_.load || passRunning_ || ending_ || !view_ ||
      !isActiveWindow())
    return;
  DiskIdentity now;
  const DiskChange change = CompareWithDisk(doc_.path, doc_.disk, &now);
  const DiskAction action =
      doc_.diskWatch.OnActivation(change, now, doc_.Modified(), Cfg().ReloadChangedFiles);
  if (action == DiskAction::kNothing) return;
  diskAsking_ = true;
  const std::string path = doc_.path;
  switch (action) {
    case DiskAction::kReloadQuietly:
      ReloadFromDisk();
      break;
    case DiskAction::kAskToReload:
      if (Ask(kFileChangedCaption, QString::fromStdString(FileChangedQuestion(path)),
              {"Да", "Нет"}) == 1000)
        ReloadFromDisk();
      break;
    case DiskAction::kAskAboutEdits:
      // Keeping the edits comes first, so Enter never throws them away.
      switch (Ask(kFileChangedCaption, QString::fromStdString(FileChangedUnderEditsQuestion(path)),
                  {"Оставить мои изменения", "Загрузить файл", "Сохранить как..."})) {
        case 1001:
          ReloadFromDisk();
          break;
        case 1002:
          SaveAs();
          break;
        default:  // kept: the next save asks before writing over the file
          break;
      }
      break;
    case DiskAction::kTellGone:
      // Nothing on disk holds the document now: closing it asks to save.
      if (!doc_.Modified()) doc_.MarkUnsaved();
      RefreshTitle();
      ShowNote(QString::fromStdString(FileGoneNote(path)));
      break;
    default:
      break;
  }
  diskAsking_ = false;
}

MainWindow::OverwriteAnswer MainWindow::AskBeforeWritingOverFile() {
  DiskIdentity now;
  const DiskChange change = CompareWithDisk(doc_.path, doc_.disk, &now);
  if (doc_.diskWatch.BeforeSave(change) != DiskAction::kAskToOverwrite)
    return OverwriteAnswer::kWrite;
  diskAsking_ = true;
  // "Отмена" first: Enter must not write over what the other program put there.
  const int answer =
      Ask(kFileChangedCaption, QString::fromStdString(FileChangedBeforeSaveQuestion(doc_.path)),
          {"Отмена", "Записать", "Сохранить как..."});
  diskAsking_ = false;
  if (answer == 1001) return OverwriteAnswer::kWrite;
  return answer == 1002 ? OverwriteAnswer::kSaveAs : OverwriteAnswer::kCancel;
}

// The file's present content in the same view, encoding and menu checks,
// the cursor on the line it was on.
void MainWindow::ReloadFromDisk() {
  try {
    InputFile probe(doc_.path);
  } catch (const IoError& e) {
    ReportCannotOpen(doc_.path, e);
    return;
  }
  const std::string native = doc_.path;
  const std::vector<bool> checks = CurrentChecks();
  const std::string encoding = doc_.encoding;
  reloadCursor_ = {view_->CursorColumn(), view_->CursorRow()};
  std::unique_ptr<PreviousDocument> previous = SetDocumentAside();
  desiredColumn_ = -1;
  CreateView(viewKind_);
  doc_.path = native;
  ApplyChecks(checks);
  caretShown_ = false;
  lastClientWidth_ = -1;
  FormResize();
  SelectEncoding(encoding);
  RefreshTitle();
  RefreshUndoRedo();
  // A file that cannot be read after all gives the document back as it was.
  loadGivesBack_ = true;
  loadFailed_ = false;
  BeginLoading(std::move(previous));
  loadGivesBack_ = false;
  reloadCursor_.reset();
  if (loadFailed_) ReportFailure(kLoadFailedMessage);
  HideCaret();
  Redraw();
  ToggleCaret();
}

}  // namespace prambus
