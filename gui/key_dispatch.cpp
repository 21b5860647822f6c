// Keys and typed characters on the surface: each key's command, then the
// plug-in hot keys. The menus only show the shortcuts; keys arrive here.
#include <QKeyEvent>
#include <utility>

#include "main_window.h"
#include "plugin_host.h"
#include "settings/settings.h"
#include "views/text_view.h"
#include "virtual_key_map.h"

namespace prambus {

namespace {

// Letters that run their menu command with exactly Ctrl held, while the
// command is enabled (commands that place a window by how they were asked
// for see byShortcut_). Ctrl+F and Ctrl+R are below: they tell their window
// it was opened by its shortcut.
constexpr std::pair<int, QAction * MenuActions::*> kCtrlLetterCommands[] = {
    {Qt::Key_A, &MenuActions::selectAll},   {Qt::Key_C, &MenuActions::copy},
    {Qt::Key_G, &MenuActions::goTo},        {Qt::Key_I, &MenuActions::documentInfo},
    {Qt::Key_N, &MenuActions::newDocument}, {Qt::Key_O, &MenuActions::open},
    {Qt::Key_P, &MenuActions::print},       {Qt::Key_S, &MenuActions::save},
    {Qt::Key_V, &MenuActions::paste},       {Qt::Key_X, &MenuActions::cut},
};
}  // namespace

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

void MainWindow::KeyDown(int key, Qt::KeyboardModifiers mods) {
  if (!view_) return;
  const int state = ShiftStateOf(mods);
  const bool shift = state & 1, ctrl = state & 4;
  const bool exactlyCtrl = state == 4;
  ViewBase& v = *view_;
  if (exactlyCtrl) {
    byShortcut_ = true;
    for (const auto& [letter, command] : kCtrlLetterCommands)
      if (key == letter) (actions_.*command)->trigger();  // nothing while it is disabled
    byShortcut_ = false;
  }
  switch (key) {
    case Qt::Key_Backspace:
      if (state == 2 && actions_.undo->isEnabled()) {
        Undo();
      } else if (exactlyCtrl) {
        desiredColumn_ = -1;
        HideCaret();
        if (!v.HasSelection()) v.MoveLeft(true, true);
        v.DeleteSelection(true, true);
        EditTail();
      }
      break;
    case Qt::Key_Escape:
      if (Cfg().ExitOnEsc) Exit();
      break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      HideCaret();
      if (key == Qt::Key_PageUp)
        v.PageUp(shift, desiredColumn_);
      else
        v.PageDown(shift, desiredColumn_);
      SyncAfterMove();
      break;
    case Qt::Key_End:
    case Qt::Key_Home:
      HideCaret();
      if (!ctrl) {
        desiredColumn_ = -1;
        if (key == Qt::Key_End)
          v.MoveEnd(shift);
        else
          v.MoveHome(shift);
      } else if (key == Qt::Key_End) {
        const int col = static_cast<int>(v.GetRow(v.LastRow).size());
        v.SetPosition(col, v.LastRow, true);
        if (!shift) v.SetPosition(col, v.LastRow, false);
      } else {
        v.SetPosition(0, 0, true);
        if (!shift) v.SetPosition(0, 0, false);
      }
      SyncAfterMove();
      break;
    case Qt::Key_Left:
    case Qt::Key_Right:
      desiredColumn_ = -1;
      HideCaret();
      if (key == Qt::Key_Left)
        v.MoveLeft(ctrl, shift);
      else
        v.MoveRight(ctrl, shift);
      SyncAfterMove();
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
      HideCaret();
      if (key == Qt::Key_Up)
        v.MoveUp(ctrl, shift, desiredColumn_);
      else
        v.MoveDown(ctrl, shift, desiredColumn_);
      SyncAfterMove();
      break;
    case Qt::Key_Insert:
      if (exactlyCtrl)
        Copy();
      else if (state == 1)
        Paste();
      else {
        HideCaret();
        v.SetInsertMode(!v.InsertMode);
        ToggleCaret();
      }
      break;
    case Qt::Key_Delete:
      if ((exactlyCtrl && Cfg().CutOnCtrlDel) || state == 1) {
        Cut();
      } else {
        desiredColumn_ = -1;
        HideCaret();
        if (!v.HasSelection() && ctrl) v.MoveRight(true, true);
        if (v.HasSelection())
          v.DeleteSelection(true, true);
        else if (!v.GetAdjacentText(true).empty())
          v.DeleteForward();
        EditTail();
      }
      break;
    case Qt::Key_Y:
      if (ctrl) {
        HideCaret();
        v.DeleteLine(shift);
        EditTail();
      }
      break;
    case Qt::Key_Z:
      if (exactlyCtrl && actions_.undo->isEnabled())
        Undo();
      else if (state == 5 && actions_.redo->isEnabled())
        Redo();
      break;
    case Qt::Key_F:
      if (exactlyCtrl) FindCommand(true);
      break;
    case Qt::Key_R:
      if (exactlyCtrl) ReplaceCommand(true);
      break;
    case Qt::Key_F3:
      FindNextCommand();
      break;
    case Qt::Key_F1:
      OpenHelp();
      break;
    case Qt::Key_F2:
      if (Cfg().SaveOnF2)
        Save();
      else
        ToggleMinimalMode();
      break;
    case Qt::Key_F4:
      if (state == 0) ToggleStayOnTop();
      break;
    case Qt::Key_F6:
      SwitchView(viewKind_ == 1 ? 1 : 0);
      break;
    case Qt::Key_F8:
      SelectNextEncoding();
      break;
    case Qt::Key_F12:
      if (Cfg().SaveOnF2) ToggleMinimalMode();
      break;
    default:
      break;
  }
  // Then, for every key, the first plug-in hot key with this key and state.
  plugins_->RunHotKey(key, mods);
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
