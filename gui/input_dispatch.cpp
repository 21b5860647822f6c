// Keys, typed characters, the mouse, the wheel and auto-scrolling turned into
// view operations, and the edit commands of the menus.
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>

#include "main_window.h"
#include "platform/services.h"
#include "settings/settings.h"
#include "shell/help_location.h"
#include "surface_widget.h"

namespace prambus {

namespace {
// Shift state bits: Shift 1, Alt 2, Ctrl 4.
int ShiftState(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::AltModifier ? 2 : 0) |
         (m & Qt::ControlModifier ? 4 : 0);
}
}  // namespace

void MainWindow::RefreshUndoRedo() {
  undoAction_->setEnabled(view_ && view_->CanUndo());
  redoAction_->setEnabled(view_ && view_->CanRedo());
}

// Brings enabled scroll bars to the view's scroll position, redraws and
// shows the caret again.
void MainWindow::SyncAfterMove() {
  if (vbar_->isEnabled() && vrange_.position != view_->ScrollY) {
    vrange_.position = view_->ScrollY;
    QSignalBlocker b(vbar_);
    vbar_->setValue(view_->ScrollY);
  }
  if (hbar_->isEnabled() && hrange_.position != view_->ScrollX) {
    hrange_.position = view_->ScrollX;
    QSignalBlocker b(hbar_);
    hbar_->setValue(view_->ScrollX);
  }
  Redraw();
  ToggleCaret();
}

// The tail of every edit. Both scroll ranges are recomputed whether or not the
// number of rows changed: any edit can change the widest row.
void MainWindow::EditTail(bool) {
  SetModified(true);
  RecomputeScrollRanges();
  RefreshUndoRedo();
  SyncAfterMove();
}

bool MainWindow::DispatchKeyEvent(QKeyEvent* e) {
  if (!view_) return false;
  const int state = ShiftState(e->modifiers());
  const int key = e->key();
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
      KeyPress(9);
      return true;
    case Qt::Key_Escape:
      return true;
    default:
      break;
  }
  const QString text = e->text();
  if (!text.isEmpty() && text.at(0).isPrint()) {
    const std::string bytes = ToCp1251(text);
    for (char c : bytes) KeyPress(static_cast<uint8_t>(c));
  }
  return true;
}

void MainWindow::KeyDown(int key, Qt::KeyboardModifiers mods) {
  if (!view_) return;
  const int state = ShiftState(mods);
  const bool shift = state & 1, ctrl = state & 4;
  const bool exactlyCtrl = state == 4;
  ViewBase& v = *view_;
  switch (key) {
    case Qt::Key_Backspace:
      if (state == 2 && undoAction_->isEnabled()) {
        Undo();
      } else if (exactlyCtrl) {
        desiredColumn_ = -1;
        HideCaret();
        if (!v.HasSelection()) v.MoveLeft(true, true);
        EditTail(v.DeleteSelection(true, true));
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
        bool changed = false;
        if (v.HasSelection())
          changed = v.DeleteSelection(true, true);
        else if (!v.GetAdjacentText(true).empty())
          changed = v.DeleteForward();
        EditTail(changed);
      }
      break;
    case Qt::Key_Y:
      if (ctrl) {
        HideCaret();
        if (v.DeleteLine(shift))
          EditTail(true);
        else
          ToggleCaret();
      }
      break;
    case Qt::Key_Z:
      if (exactlyCtrl && undoAction_->isEnabled())
        Undo();
      else if (state == 5 && redoAction_->isEnabled())
        Redo();
      break;
    case Qt::Key_A:
      if (exactlyCtrl) SelectAll();
      break;
    case Qt::Key_F:
      if (exactlyCtrl) {
        openedByShortcut_ = true;
        FindCommand();
      }
      break;
    case Qt::Key_R:
      if (exactlyCtrl) {
        openedByShortcut_ = true;
        ReplaceCommand();
      }
      break;
    case Qt::Key_F3:
      FindNextCommand();
      break;
    case Qt::Key_C:
      if (exactlyCtrl) Copy();
      break;
    case Qt::Key_N:
      if (exactlyCtrl) NewDocument();
      break;
    case Qt::Key_O:
      if (exactlyCtrl) OpenWithDialog();
      break;
    case Qt::Key_S:
      if (exactlyCtrl) Save();
      break;
    case Qt::Key_V:
      if (exactlyCtrl) Paste();
      break;
    case Qt::Key_X:
      if (exactlyCtrl) Cut();
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
    case Qt::Key_F8: {
      // The encoding item after the checked one, among all but the last two.
      const int count = static_cast<int>(encodingActions_.size()) - 1;
      int checked = -1;
      for (int i = 0; i < count; ++i)
        if (encodingActions_[i]->isChecked()) checked = i;
      SelectEncoding(checked < 0 || checked + 1 >= count ? 0 : checked + 1);
      break;
    }
    case Qt::Key_F12:
      if (Cfg().SaveOnF2) ToggleMinimalMode();
      break;
    default:
      break;
  }
  // Then, for every key, the first plug-in hot key with this key and state.
  for (const PluginHotKey& h : pluginHotKeys_) {
    if (h.key == key && h.shiftState == state) {
      if (h.run) h.run();
      break;
    }
  }
}

void MainWindow::KeyPress(uint8_t ch) {
  if (!view_) return;
  ViewBase& v = *view_;
  desiredColumn_ = -1;
  HideCaret();
  if (ch == 8) {
    bool changed = false;
    if (v.HasSelection()) {
      SetModified(true);
      changed = v.DeleteSelection(true, true);
    } else {
      if (v.GetAdjacentText(false).empty()) return;  // the caret returns at the next blink
      SetModified(true);
      changed = v.Backspace();
    }
    EditTail(changed);
    return;
  }
  SetModified(true);
  if (v.HasSelection() && v.TypingReplacesSelection(ch)) {
    const bool deleted = !v.GetSelectedText().empty();
    v.DeleteSelection(true, true);
    if (deleted) v.SealUndo();
  }
  EditTail(v.TypeChar(ch));
}

// ------------------------------------------------------------ commands ----

void MainWindow::Undo() {
  if (!view_) return;
  HideCaret();
  view_->Undo();
  RefreshUndoRedo();
  SetModified(true);
  RecomputeScrollRanges();
  SyncAfterMove();
}

void MainWindow::Redo() {
  if (!view_) return;
  HideCaret();
  view_->Redo();
  RefreshUndoRedo();
  SetModified(true);
  RecomputeScrollRanges();
  SyncAfterMove();
}

void MainWindow::Cut() {
  if (!view_) return;
  desiredColumn_ = -1;
  const std::string text = view_->GetSelectedText();
  if (text.empty()) return;
  QApplication::clipboard()->setText(FromCp1251(text));
  HideCaret();
  SetModified(true);
  EditTail(view_->DeleteSelection(true, true));
}

void MainWindow::Copy() {
  if (!view_) return;
  desiredColumn_ = -1;
  const std::string text = view_->GetSelectedText();
  if (!text.empty()) QApplication::clipboard()->setText(FromCp1251(text));
}

void MainWindow::Paste() {
  if (!view_) return;
  desiredColumn_ = -1;
  const std::string text = ToCp1251(QApplication::clipboard()->text());
  if (text.empty()) return;
  HideCaret();
  SetModified(true);
  if (view_->HasSelection()) {
    const bool deleted = !view_->GetSelectedText().empty();
    view_->DeleteSelection(true, true);
    if (deleted) view_->SealUndo();
  }
  EditTail(view_->InsertText(text, true, true));
}

void MainWindow::SelectAll() {
  if (!view_) return;
  desiredColumn_ = -1;
  HideCaret();
  view_->SelectAll();
  Redraw();
  ToggleCaret();
}

void MainWindow::ChooseFont() {
  if (!view_) return;
  BeforeModalDialog();
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, ToQFont(canvas_.GetFont()), this);
  AfterModalDialog();
  if (!ok) return;
  Font f = canvas_.GetFont();
  f.name = chosen.family().toStdString();
  f.height = -(chosen.pixelSize() > 0 ? chosen.pixelSize() : chosen.pointSize() * 4 / 3);
  f.style = (chosen.bold() ? kStyleBold : 0) | (chosen.italic() ? kStyleItalic : 0) |
            (chosen.underline() ? kStyleUnderline : 0) | (chosen.strikeOut() ? kStyleStrikeOut : 0);
  desiredColumn_ = -1;
  HideCaret();
  view_->SetFont(f);
  RecomputeScrollRanges();
  SyncAfterMove();
}

void MainWindow::OpenHelp() {
  const QString help = QString::fromStdString(
      HelpDocumentPath(QCoreApplication::applicationDirPath().toStdString()));
  QDesktopServices::openUrl(QUrl::fromLocalFile(help));
}

// ---------------------------------------------------------------- mouse ----

Point MainWindow::ContentPoint(int x, int y) const {
  return {x + view_->ScrollX - Cfg().EffOtstupX, y + view_->ScrollY - Cfg().EffOtstupY};
}

void MainWindow::MousePress(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if ((vbar_->isVisible() && p.x() >= vbar_->x()) || (hbar_->isVisible() && p.y() >= hbar_->y()))
    return;
  if (e->button() == Qt::MiddleButton) middleHeld_ = true;
  if (e->button() != Qt::LeftButton || !view_) return;
  if (afterDoubleClick_) {  // the second press of a double click does not move the cursor
    afterDoubleClick_ = false;
    return;
  }
  desiredColumn_ = -1;
  leftDrag_ = true;
  lastMouse_ = p;
  const Point c = ContentPoint(p.x(), p.y());
  HideCaret();
  view_->MoveToPoint(c.x, c.y, true, e->modifiers() & Qt::ShiftModifier);
  SyncAfterMove();
}

void MainWindow::MouseMove(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  lastMouse_ = p;
  const int ex = Cfg().EffOtstupX, ey = Cfg().EffOtstupY;
  const QRect textArea(ex, ey, surface_.width(), surface_.height());
  central_->setCursor(textArea.contains(p) ? Qt::IBeamCursor : Qt::ArrowCursor);
  if (!leftDrag_ || !view_) return;
  const int w = surface_.width(), h = surface_.height();
  distTop_ = 2 - p.y();
  distBottom_ = p.y() - h + 2;
  distLeft_ = 2 - p.x();
  distRight_ = p.x() - w + 2;
  const int x = std::clamp(p.x(), 0, w), y = std::clamp(p.y(), 0, h);
  const Point c = ContentPoint(x, y);
  const int oldCol = view_->CursorCol, oldRow = view_->CursorRow;
  HideCaret();
  view_->MoveToPoint(c.x, c.y, false, true);
  if (oldCol != view_->CursorCol || oldRow != view_->CursorRow) Redraw();
  ToggleCaret();
}

void MainWindow::MouseRelease(QMouseEvent* e) {
  if (skipNextMouseUp_) {
    skipNextMouseUp_ = false;
    leftDrag_ = false;
    return;
  }
  if (e->button() == Qt::MiddleButton) middleHeld_ = false;
  distTop_ = distBottom_ = distLeft_ = distRight_ = 0;
  accH_ = accV_ = 0;
  if (!(leftDrag_ && e->button() == Qt::LeftButton && view_)) return;
  leftDrag_ = false;
  HideCaret();
  if (central_->cursor().shape() == Qt::IBeamCursor) {
    const QPoint p = e->position().toPoint();
    const Point c = ContentPoint(std::clamp(p.x(), 0, surface_.width()),
                                 std::clamp(p.y(), 0, surface_.height()));
    view_->MoveToPoint(c.x, c.y, false, true);
  } else {
    RecomputeScrollRanges();
  }
  SyncAfterMove();
}

void MainWindow::MouseDoubleClick(QMouseEvent* e) {
  if (!view_ || e->button() != Qt::LeftButton) return;
  HideCaret();
  view_->SelectWord();
  SyncAfterMove();
  afterDoubleClick_ = false;
  leftDrag_ = false;
}

void MainWindow::Wheel(QWheelEvent* e) {
  if (!vbar_->isEnabled()) return;
  const int step = middleHeld_ ? vLargeChange_ / 2 : vrange_.smallChange;
  const int delta = e->angleDelta().y();
  if (delta == 0) return;
  vbar_->setValue(vbar_->value() + (delta > 0 ? -step : step));
}

void MainWindow::AutoScrollTick() {
  if (!leftDrag_ || !view_) return;
  auto speed = [](int d) { return std::min(static_cast<double>(d), 70.0); };
  bool moved = false;
  auto scroll = [&](QScrollBar* bar, double& acc, int before, int after) {
    if (!bar->isEnabled()) return;
    if (before > 0 && bar->value() > 0) {
      acc -= speed(before);
      if (acc > 0) acc = 0;
      if (acc <= -1) {
        const int whole = static_cast<int>(acc);
        bar->setValue(bar->value() + whole);
        acc -= whole;
        moved = true;
      }
    }
    if (after > 0 && bar->value() < bar->maximum()) {
      acc += speed(after);
      if (acc < 0) acc = 0;
      if (acc >= 1) {
        const int whole = static_cast<int>(acc);
        bar->setValue(bar->value() + whole);
        acc -= whole;
        moved = true;
      }
    }
    if (before < 0 && after < 0) acc = 0;
  };
  scroll(vbar_, accV_, distTop_, distBottom_);
  scroll(hbar_, accH_, distLeft_, distRight_);
  if (moved) {
    QMouseEvent again(QEvent::MouseMove, QPointF(lastMouse_), QPointF(lastMouse_), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    MouseMove(&again);
  }
}

}  // namespace prambus
