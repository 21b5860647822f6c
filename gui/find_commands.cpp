// The main window's find commands: "Найти...", "Заменить...", "Найти следующий".
#include <QMessageBox>

#include "find_dialogs.h"
#include "platform/services.h"
#include "settings/settings.h"
#include "shell/find_replace.h"
#include "txtobrabotka.h"
#include "views/hex_codes.h"
#include "views/viewhex.h"

namespace prambus {

void Tform1::ShowNote(const QString& text) {
  ShowPlainMessage(text);
}

void Tform1::FindCommand() {
  DeactivateHandler();
  form2_->ShowFor(openedByShortcut_);
}

void Tform1::ReplaceCommand() {
  DeactivateHandler();
  form3_->CheckBox2->setEnabled(viewKind_ == 2);
  ReplaceHooks hooks;
  if (auto* hex = dynamic_cast<vwhex*>(view_.get())) {
    hooks.setSearchAs = [hex](int v) { hex->SearchAs = static_cast<uint8_t>(v); };
    hooks.parseCodes = [](const std::string& text, std::string& bytes) {
      bytes = ParseCodeText(text, std::clamp(Cfg().TextBaseSyst, 2, 36));
      return !bytes.empty();
    };
  }
  form3_->Session().hooks = hooks;
  form3_->ShowFor(openedByShortcut_, view_ && view_->HasSelection());
}

void Tform1::FindWith(const std::string& text, bool caseSensitive, bool fromCursor) {
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

void Tform1::FindNextCommand() {
  if (!findNextAction_->isEnabled() || lastSearch_.empty()) return;
  FindWith(lastSearch_, lastSearchCase_, true);
}

void Tform1::AfterSearch() {
  if (!view_) return;
  HideCaret();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

void Tform1::AfterReplace() {
  if (!view_) return;
  SetModified(true);
  RefreshUndoRedo();
  HideCaret();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

void Tform1::AfterFindDialogHidden() {
  if (stayOnTopAction_->isChecked()) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
  }
}

}  // namespace prambus
