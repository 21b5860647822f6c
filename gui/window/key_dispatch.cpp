// Keys and typed characters on the surface: each key's command, found among
// the menu actions' shortcuts and the table of keys without menu items
// (key_table.cpp), then the plug-in hot keys.
#include <QKeyEvent>
#include <utility>

#include "main_window.h"
#include "plugin_host.h"
#include "settings/settings.h"
#include "views/text_view.h"
#include "virtual_key_map.h"

namespace prambus {

bool MainWindow::DispatchKeyEvent(QKeyEvent* e) {
  if (!view_) return false;
  const int state = ShiftStateOf(e->modifiers());
  const int key = e->key();
  if (doc_.load) {
    // While a file loads: Escape stops it, moves within the loaded part act
    // at once (once the remembered cursor has its row), the rest first drives
    // the load to its end.
    if (key == Qt::Key_Escape && state == 0) {
      CancelLoading();
      return true;
    }
    if (!KeyStaysInLoadedPart(key, e->modifiers())) {
      if (!EnsureWholeDocument()) return true;  // stopped: the key goes with the load
    } else if (pendingCursor_ || pendingOffset_ >= 0)
      LoadUntil([this] { return PendingCursorLoaded(); });
    ApplyPendingCursor();
    if (!view_) return true;
  }
  KeyDown(key, e->modifiers());
  // Typed characters: not while Ctrl or Alt is held.
  if (state & 6) return true;
  switch (key) {
    case Qt::Key_Backspace:
      KeyPress(8);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      KeyPress(13);
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:  // Shift+Tab types a tab too
      KeyPress(9);
      return true;
    case Qt::Key_Escape:
      return true;
    default:
      break;
  }
  const QString text = e->text();
  if (!text.isEmpty() && ShowsUtf8()) {
    // Any character, also one beyond the first plane (a surrogate pair).
    for (const char32_t c : text.toUcs4())
      if (QChar::isPrint(c)) KeyPressUtf8(QString::fromUcs4(&c, 1).toStdString());
  } else if (!text.isEmpty() && text.at(0).isPrint()) {
    const std::string bytes = ToCp1251(text);
    for (char c : bytes) KeyPress(static_cast<uint8_t>(c));
  }
  return true;
}

KeyCommand MainWindow::CommandOfKey(int key, uint8_t state) const {
  // The exact bindings first, then those needing Ctrl held, then the key's
  // own meaning whatever else is held.
  for (KeyMatch tier : {KeyMatch::kExact, KeyMatch::kCtrlHeld, KeyMatch::kOtherwise}) {
    for (const auto& [action, match] : keyedActions_)
      if (match == tier && Matches(BindingOf(action->shortcut(), match), key, state))
        return {action};
    for (const TableKey& k : KeysWithoutMenuItems()) {
      if (k.binding.match != tier || (k.onlyWhen && !(Cfg().*k.onlyWhen))) continue;
      if (!Matches(k.binding, key, state)) continue;
      if (k.command) return {actions_.*k.command};
      return {nullptr, k.editing};
    }
  }
  return {};
}

std::vector<BoundKey> MainWindow::KeyBindingsInEffect() const {
  std::vector<BoundKey> keys;
  for (const auto& [action, match] : keyedActions_)
    keys.push_back({BindingOf(action->shortcut(), match), action->text()});
  for (const TableKey& k : KeysWithoutMenuItems())
    if (!k.onlyWhen || Cfg().*k.onlyWhen) keys.push_back({k.binding, QString::fromUtf8(k.name)});
  // The view's own items run by their shortcuts through the toolkit.
  for (const ViewMenuItem* item : viewItems_)
    if (!item->shortcut().isEmpty())
      keys.push_back({BindingOf(item->shortcut(), KeyMatch::kExact), item->text()});
  return keys;
}

void MainWindow::KeyDown(int key, Qt::KeyboardModifiers mods) {
  if (!view_) return;
  const uint8_t state = ShiftStateOf(mods);
  // Minimal mode's key follows SaveOnF2 as it is at this press.
  ApplyMinimalModeShortcut();
  if (const KeyCommand command = CommandOfKey(key, state)) {
    if (command.action) {
      // Commands that place a window by how they were asked for see this.
      byShortcut_ = true;
      command.action->trigger();  // nothing while it is disabled
      byShortcut_ = false;
    } else {
      RunEditingKey(command.editing, state);
    }
  }
  // Then, for every key, the first plug-in hot key with this key and state.
  plugins_->RunHotKey(key, mods);
}

void MainWindow::RunEditingKey(EditingKey editing, uint8_t state) {
  const bool shift = state & kStateShift, ctrl = state & kStateCtrl;
  ViewBase& v = *view_;
  switch (editing) {
    case EditingKey::kNone:
      break;
    case EditingKey::kDeleteWordBack:
      desiredColumn_ = -1;
      HideCaret();
      if (!v.HasSelection()) v.MoveLeft(true, true);
      v.DeleteSelection(true, true);
      EditTail();
      break;
    case EditingKey::kPageUp:
    case EditingKey::kPageDown:
      HideCaret();
      if (editing == EditingKey::kPageUp)
        v.PageUp(shift, desiredColumn_);
      else
        v.PageDown(shift, desiredColumn_);
      SyncAfterMove();
      break;
    case EditingKey::kEnd:
    case EditingKey::kHome:
      HideCaret();
      if (!ctrl) {
        desiredColumn_ = -1;
        if (editing == EditingKey::kEnd)
          v.MoveEnd(shift);
        else
          v.MoveHome(shift);
      } else if (editing == EditingKey::kEnd) {
        const int col = static_cast<int>(v.GetRow(v.LastRow()).size());
        v.SetPosition(col, v.LastRow(), true);
        if (!shift) v.SetPosition(col, v.LastRow(), false);
      } else {
        v.SetPosition(0, 0, true);
        if (!shift) v.SetPosition(0, 0, false);
      }
      SyncAfterMove();
      break;
    case EditingKey::kLeft:
    case EditingKey::kRight:
      desiredColumn_ = -1;
      HideCaret();
      if (editing == EditingKey::kLeft)
        v.MoveLeft(ctrl, shift);
      else
        v.MoveRight(ctrl, shift);
      SyncAfterMove();
      break;
    case EditingKey::kUp:
    case EditingKey::kDown:
      HideCaret();
      if (editing == EditingKey::kUp)
        v.MoveUp(ctrl, shift, desiredColumn_);
      else
        v.MoveDown(ctrl, shift, desiredColumn_);
      SyncAfterMove();
      break;
    case EditingKey::kInsertMode:
      HideCaret();
      v.SetInsertMode(!v.InsertMode());
      ToggleCaret();
      break;
    case EditingKey::kDelete:
      desiredColumn_ = -1;
      HideCaret();
      if (!v.HasSelection() && ctrl) v.MoveRight(true, true);
      if (v.HasSelection())
        v.DeleteSelection(true, true);
      else if (!v.GetAdjacentText(true).empty())
        v.DeleteForward();
      EditTail();
      break;
    case EditingKey::kDeleteLine:
      HideCaret();
      v.DeleteLine(shift);
      EditTail();
      break;
    case EditingKey::kNextViewKind:
      SwitchView(viewKind_ == 1 ? 1 : 0);
      break;
    case EditingKey::kNextEncoding:
      SelectNextEncoding();
      break;
  }
}

void MainWindow::KeyPress(uint8_t ch) {
  if (!view_) return;
  ViewBase& v = *view_;
  desiredColumn_ = -1;
  HideCaret();
  if (ch == 8) {
    if (v.HasSelection()) {
      v.DeleteSelection(true, true);
    } else {
      if (v.GetAdjacentText(false).empty()) return;  // the caret returns at the next blink
      v.Backspace();
    }
    EditTail();
    return;
  }
  if (v.HasSelection() && v.TypingReplacesSelection(ch)) {
    if (!RoomToReplaceSelection(ch == 13 ? 2 : 1)) {
      if (!caretShown_) ToggleCaret();
      return;
    }
    v.DeleteSelectionForInsert();
  }
  v.TypeChar(ch);
  EditTail();
}

void MainWindow::KeyPressUtf8(std::string_view ch) {
  auto* text = dynamic_cast<TextView*>(view_.get());
  if (!text || ch.empty()) return;
  if (ch.size() == 1) return KeyPress(static_cast<uint8_t>(ch[0]));
  desiredColumn_ = -1;
  HideCaret();
  if (text->HasSelection()) {
    if (!RoomToReplaceSelection(static_cast<int64_t>(ch.size()))) {
      if (!caretShown_) ToggleCaret();
      return;
    }
    text->DeleteSelectionForInsert();
  }
  text->TypeText(ch);
  EditTail();
}

}  // namespace prambus
