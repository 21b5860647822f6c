// The edit commands of "Правка" and the context menu (undo, redo, the
// clipboard, select all), and the tail every edit ends with.
#include <QApplication>
#include <QClipboard>

#include "main_window.h"
#include "qt_canvas.h"

namespace prambus {

void MainWindow::RefreshUndoRedo() {
  actions_.undo->setEnabled(view_ && view_->CanUndo());
  actions_.redo->setEnabled(view_ && view_->CanRedo());
}

// The tail of every edit. Both scroll ranges are recomputed whether or not the
// number of rows changed: any edit can change the widest row.
void MainWindow::EditTail(bool) {
  SetModified(true);
  RecomputeScrollRanges();
  RefreshUndoRedo();
  SyncAfterMove();
}

void MainWindow::Undo() {
  HistoryStep(false);
}

void MainWindow::Redo() {
  HistoryStep(true);
}

// One step back or forward in the view's history.
void MainWindow::HistoryStep(bool redo) {
  if (!view_) return;
  HideCaret();
  if (redo)
    view_->Redo();
  else
    view_->Undo();
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
  view_->DeleteSelectionForInsert();
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

}  // namespace prambus
