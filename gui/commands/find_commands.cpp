// The main window's find commands: "Найти...", "Заменить...", "Найти следующий".
#include "find_dialog.h"
#include "main_window.h"
#include "platform/services.h"
#include "qt_canvas.h"
#include "replace_dialog.h"
#include "settings/settings.h"
#include "shell/find_replace.h"
#include "shell/number_bytes.h"
#include "views/hex_codes.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {

// A find or replace window is about to show: the caret stops, the main
// window leaves the topmost band (the window is to show above it) and the
// fields take the document's colours.
void MainWindow::BeforeSearchWindow(SearchWindow* window) {
  DeactivateHandler();
  SetTopmost(false);
  window->SetFieldColours(ToQColor(canvas_.BrushColor()), ToQColor(canvas_.GetFont().color));
}

void MainWindow::FindCommand(bool byShortcut) {
  BeforeSearchWindow(findDialog_);
  findDialog_->ShowFor(byShortcut);
}

void MainWindow::ReplaceCommand(bool byShortcut) {
  BeforeSearchWindow(replaceDialog_);
  // The hooks reach the view the window shows at each step, never this one:
  // the view may be replaced while the window stays open.
  ReplaceHooks hooks;
  hooks.setSearchAs = [](ViewBase& view, int v) {
    if (auto* hex = dynamic_cast<HexView*>(&view)) hex->SearchAs = static_cast<uint8_t>(v);
  };
  hooks.parseCodes = [](const std::string& text, std::string& bytes) {
    bytes = ParseCodeText(text, std::clamp(Cfg().TextBaseSyst, 2, 36));
    return !bytes.empty();
  };
  hooks.readsUtf8 = [](const ViewBase& view) {
    if (const auto* text = dynamic_cast<const TextView*>(&view)) return text->Utf8();
    const auto* hex = dynamic_cast<const HexView*>(&view);
    return hex && hex->ShowUtf8;
  };
  replaceDialog_->Session().hooks = hooks;
  replaceDialog_->ShowFor(byShortcut, view_ && view_->HasSelection());
}

void MainWindow::FindWith(const std::string& text, bool caseSensitive, bool fromCursor,
                          QWidget* answering) {
  if (!EnsureWholeDocument()) return;  // the search goes over the whole document
  if (!view_ || text.empty()) return;
  actions_.findNext->setEnabled(true);
  lastSearch_ = text;
  lastNumber_.clear();
  HideCaret();
  int limit = kNoLimit;
  if (view_->FindText(text, limit, fromCursor, caseSensitive)) {
    AfterSearch();
    return;
  }
  ToggleCaret();
  Beep();
  ShowNote(QString::fromStdString(NothingFoundMessage(text, ShowsUtf8())), answering);
}

void MainWindow::FindNumber(const std::string& bytes, const std::string& name, bool fromCursor,
                            QWidget* answering) {
  if (!EnsureWholeDocument()) return;  // the search goes over the whole document
  if (!view_ || bytes.empty()) return;
  actions_.findNext->setEnabled(true);
  lastNumber_ = bytes;
  lastNumberName_ = name;
  auto* hex = dynamic_cast<HexView*>(view_.get());
  if (!hex) {
    Beep();
    ShowNote("Числа я ищу только в hex-редакторе: переключитесь в него клавишей F6.", answering);
    return;
  }
  HideCaret();
  if (hex->FindBytes(bytes, fromCursor)) {
    AfterSearch();
    return;
  }
  ToggleCaret();
  Beep();
  ShowNote(QString::fromStdString(NumberNotFoundMessage(name)), answering);
}

// F3: the last text, with the case option as the find window's box shows it,
// or the last number.
void MainWindow::FindNextCommand() {
  if (!actions_.findNext->isEnabled()) return;
  if (!lastNumber_.empty()) return FindNumber(lastNumber_, lastNumberName_, true);
  if (lastSearch_.empty()) return;
  FindWith(lastSearch_, findDialog_->caseCheck->isChecked(), true);
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
  RefreshUndoRedo();
  HideCaret();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

void MainWindow::AfterFindDialogHidden() {
  if (isVisible()) RestoreTopmost();
}

}  // namespace prambus
