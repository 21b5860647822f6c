// The edit commands of "Правка" and the context menu (undo, redo, the
// clipboard, select all), and the tail every edit ends with.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <new>

#include "main_window.h"
#include "qt_canvas.h"
#include "shell/file_messages.h"
#include "text/line_ends.h"
#include "views/text_view.h"

namespace prambus {

void MainWindow::RefreshUndoRedo() {
  actions_.undo->setEnabled(view_ && view_->CanUndo());
  actions_.redo->setEnabled(view_ && view_->CanRedo());
}

// The tail of every edit. Both scroll ranges are recomputed whether or not the
// number of rows changed: any edit can change the widest row. Whether the
// document is modified is the view's revision's to say (a key that changed
// nothing, like Delete at the end, left it).
void MainWindow::EditTail() {
  RecomputeScrollRanges();
  RefreshUndoRedo();
  SyncAfterMove();
  ReportRefusedEdit();
}

void MainWindow::ReportRefusedEdit() {
  if (!view_) return;
  if (view_->TakeLengthLimitReached()) ReportFailure(kDocumentTooLongMessage);
  if (view_->TakeMemoryShort()) ReportFailure(kOutOfMemoryMessage);
}

// The selection goes before the insertion: checked first, so that a refused
// insertion never leaves the selection deleted. A document within a few
// bytes of its largest size pays for measuring the selection.
bool MainWindow::RoomToReplaceSelection(int64_t bytes) {
  if (view_->HasRoomFor(bytes)) return true;
  if (view_->HasSelection() &&
      view_->HasRoomFor(bytes - static_cast<int64_t>(view_->GetSelectedText().size())))
    return true;
  ReportFailure(kDocumentTooLongMessage);
  return false;
}

void MainWindow::Undo() {
  HistoryStep(false);
}

void MainWindow::Redo() {
  HistoryStep(true);
}

// One step back or forward in the view's history; a step with nothing to
// take back changes nothing.
void MainWindow::HistoryStep(bool redo) {
  if (!view_) return;
  HideCaret();
  if (redo)
    view_->Redo();
  else
    view_->Undo();
  RefreshUndoRedo();
  RecomputeScrollRanges();
  SyncAfterMove();
  ReportRefusedEdit();
}

namespace {
// The bytes themselves of UTF-8 text holding bytes of no character, which
// the clipboard's text can only give as U+FFFD: a paste into a UTF-8
// document takes them back exactly.
constexpr char kUtf8BytesFormat[] = "application/x-prambus-utf8-bytes";
}  // namespace

// Text given to other programs has their LF line ends; the hex view's bytes
// go as they are.
void MainWindow::PutOnClipboard(const std::string& text) {
  const bool lines = dynamic_cast<TextView*>(view_.get()) != nullptr;
  const std::string out = lines ? WithLineEnds(text, "\n") : text;
  auto* data = new QMimeData;
  const QString shown = TextForClipboard(out);
  data->setText(shown);
  const QByteArray bytes(out.data(), static_cast<qsizetype>(out.size()));
  if (ShowsUtf8() && shown.toUtf8() != bytes) data->setData(kUtf8BytesFormat, bytes);
  QApplication::clipboard()->setMimeData(data);
}

QString MainWindow::TextForClipboard(const std::string& text) const {
  if (ShowsUtf8()) return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return FromCp1251(text);
}

std::string MainWindow::TextFromClipboard() const {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (ShowsUtf8() && data && data->hasFormat(kUtf8BytesFormat)) {
    const QByteArray bytes = data->data(kUtf8BytesFormat);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
  }
  return ToDocumentText(QApplication::clipboard()->text());
}

std::string MainWindow::ToDocumentText(const QString& text) const {
  return ShowsUtf8() ? text.toStdString() : ToCp1251(text);
}

void MainWindow::Cut() {
  if (!view_) return;
  desiredColumn_ = -1;
  const std::string text = view_->GetSelectedText();
  if (text.empty()) return;
  PutOnClipboard(text);
  HideCaret();
  view_->DeleteSelection(true, true);
  EditTail();
}

void MainWindow::Copy() {
  if (!view_) return;
  desiredColumn_ = -1;
  const std::string text = view_->GetSelectedText();
  if (!text.empty()) PutOnClipboard(text);
}

// Pasted line ends take the style of the document where they land, whatever
// the program they came from wrote.
void MainWindow::Paste() {
  if (!view_) return;
  desiredColumn_ = -1;
  std::string text;
  try {  // nothing has changed yet: a clipboard too large to take is refused
    text = TextFromClipboard();
  } catch (const std::bad_alloc&) {
    ReportFailure(kOutOfMemoryMessage);
    return;
  }
  if (text.empty()) return;
  // The line ends are known only once the selection is gone: CR LF ones are
  // the longest they can be.
  const bool lines = dynamic_cast<TextView*>(view_.get()) != nullptr;
  const auto longest =
      static_cast<int64_t>(lines ? WithLineEnds(text, "\r\n").size() : text.size());
  if (view_->HasSelection() && !RoomToReplaceSelection(longest)) return;
  if (!view_->HasMemoryFor(longest)) {
    ReportFailure(kOutOfMemoryMessage);
    return;
  }
  HideCaret();
  view_->DeleteSelectionForInsert();
  if (auto* textView = dynamic_cast<TextView*>(view_.get()))
    text = WithLineEnds(text, textView->LineEndAtCursor());
  view_->InsertText(text, true, true);
  EditTail();
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
