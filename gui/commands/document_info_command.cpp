// "Информация о документе..." and Ctrl+I: the "О документе" box, modeless,
// with the document's size, open time, lines, cursor and selection. It goes
// when it loses the activation, so the user simply works on.
#include "main_window.h"
#include "message_box.h"
#include "shell/document_info.h"
#include "shell/file_rules.h"
#include "text/utf8_chars.h"
#include "views/text_view.h"

namespace prambus {

namespace {
// Under UTF-8 the box counts characters too, and the cursor's column and its
// place in the text are in characters, as the status bar shows the column.
void CountUtf8Characters(ViewBase& v, DocumentFacts& f) {
  const auto count = [](std::string_view s) {
    return CountUtf8Chars(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  };
  if (const auto* text = dynamic_cast<const TextView*>(&v)) {
    // Rows start on characters: their counts add up.
    f.charCount = 0;
    for (int r = 0; r <= v.LastRow(); ++r) {
      if (r == v.CursorRow()) f.cursorOffset = static_cast<int64_t>(f.charCount);
      f.charCount += count(v.GetRow(r));
    }
    f.cursorCol = text->CharColumn(v.CursorRow(), v.CursorColumn());
    f.cursorOffset += f.cursorCol;
  } else {
    std::string bytes;
    v.ReadRange(0, static_cast<int>(v.GetTextLength()), bytes, nullptr);
    f.charCount = count(bytes);
  }
  if (f.hasSelection) f.selectionChars = count(v.GetSelectedText());
}
}  // namespace

void MainWindow::DocumentInfoCommand(bool fromKeyboard) {
  if (!EnsureWholeDocument() || !view_) return;
  ViewBase& v = *view_;
  DocumentFacts f;
  f.fileName = FileNameOf(doc_.path);
  f.openDurationMs = doc_.openMilliseconds;
  const int last = v.LastRow();
  f.sizeBytes = static_cast<uint64_t>(v.PosToOffset(static_cast<int>(v.GetRow(last).size()), last));
  f.lineCount = v.RowCount();
  f.cursorRow = v.CursorRow();
  f.cursorCol = v.CursorColumn();
  f.cursorOffset = v.PosToOffset(v.CursorColumn(), v.CursorRow());
  f.hasSelection = v.HasSelection();
  if (f.hasSelection) f.selectionBytes = v.GetSelectedText().size();
  if (ShowsUtf8()) CountUtf8Characters(v, f);

  if (fromKeyboard)
    MessageBox::CentreOnMainWindow(this);
  else
    MessageBox::CentreOnPointer();
  auto* box =
      new MessageBox(this, "О документе", QString::fromStdString(DocumentInfoText(f)), {"ОК"});
  if (actions_.stayOnTop->isChecked()) box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box->ShowModeless();
}

}  // namespace prambus
