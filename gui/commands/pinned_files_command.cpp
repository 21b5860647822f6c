// "Закрепить внешний вид за файлами...": the pinned-files dialog at the
// pointer; when confirmed, checked new paths are pinned with the current
// window appearance and unchecked ones unpinned, up to 100 files.
#include "main_window.h"
#include "pinned_files_dialog.h"
#include "shell/pinned_files.h"

namespace prambus {

void MainWindow::PinnedFilesCommand() {
  PinnedFilesDialog dialog(this, [this](QWidget* parent) {
    const QString chosen =
        prompts_->OpenFileName(parent, "Открыть файл", openFolder_, dialogFilter_);
    return chosen.isEmpty() ? std::string() : ChosenPath(chosen).value_or(std::string());
  });
  std::vector<std::string> paths;
  for (const WindowAppearance& w : state_.pinned) paths.push_back(w.path);
  dialog.Fill(paths, doc_.path, ToQColor(canvas_.BrushColor()), ToQColor(canvas_.GetFont().color));
  dialog.PlaceAtPointer();
  BeforeModalDialog();
  const int result = prompts_->PinnedFiles(dialog);
  AfterModalDialog();
  if (result != QDialog::Accepted) return;
  if (!ApplyPinnedLines(state_.pinned, dialog.Lines(), CurrentAppearance()))
    ShowNote(kPinnedLimitMessage);
  StoreSettingsChange();
}

}  // namespace prambus
