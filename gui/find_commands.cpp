// The main window's find commands: "Найти...", "Заменить...", "Найти следующий".
#include <QMessageBox>

#include "find_dialog.h"
#include "main_window.h"
#include "replace_dialog.h"
#include "platform/services.h"
#include "settings/settings.h"
#include "shell/find_replace.h"
#include "views/hex_codes.h"
#include "views/hex_view.h"

namespace prambus {

void MainWindow::ShowNote(const QString& text) {
  ShowPlainMessage(text);
}

void MainWindow::FindCommand() {
  DeactivateHandler();
  findDialog_->ShowFor(openedByShortcut_);
}

void MainWindow::ReplaceCommand() {
  DeactivateHandler();
  replaceDialog_->CheckBox2->setEnabled(viewKind_ == 2);
  ReplaceHooks hooks;
  if (auto* hex = dynamic_cast<HexView*>(view_.get())) {
    hooks.setSearchAs = [hex](int v) { hex->SearchAs = static_cast<uint8_t>(v); };
    hooks.parseCodes = [](const std::string& text, std::string& bytes) {
      bytes = ParseCodeText(text, std::clamp(Cfg().TextBaseSyst, 2, 36));
      return !bytes.empty();
    };
  }
  replaceDialog_->Session().hooks = hooks;
  replaceDialog_->ShowFor(openedByShortcut_, view_ && view_->HasSelection());
}

void MainWindow::FindWith(const std::string& text, bool caseSensitive, bool fromCursor) {
  if (!view_ || text.empty()) return;
  findNextAction_->setEnabled(true);
  lastSearch_ = text;
  lastSearchCase_ = caseSensitive;
  HideCaret();
  int limit = kNoLimit;
  if (view_->FindText(text, limit, fromCursor, caseSensitive)) {
    AfterSearch();
    return;
  }
  ToggleCaret();
  Beep();
  ShowPlainMessage(QString::fromStdString(NothingFoundMessage(text)));
}

void MainWindow::FindNextCommand() {
  if (!findNextAction_->isEnabled() || lastSearch_.empty()) return;
  FindWith(lastSearch_, lastSearchCase_, true);
}

void MainWindow::AfterSearch() {
  if (!view_) return;
  HideCaret();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

void MainWindow::AfterReplace() {
  if (!view_) return;
  SetModified(true);
  RefreshUndoRedo();
  HideCaret();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

void MainWindow::AfterFindDialogHidden() {
  if (stayOnTopAction_->isChecked()) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
  }
}

}  // namespace prambus
