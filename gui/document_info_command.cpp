// "Информация о документе..." and Ctrl+I: the "О документе" box, modeless,
// with the document's size, open time, lines, cursor and selection. It goes
// when it loses the activation, so the user simply works on.
#include "main_window.h"
#include "message_box.h"
#include "shell/document_info.h"
#include "shell/file_rules.h"

namespace prambus {

void MainWindow::DocumentInfoCommand(bool fromKeyboard) {
  if (!EnsureWholeDocument() || !view_) return;
  ViewBase& v = *view_;
  DocumentFacts f;
  f.fileName = FileNameOf(doc_.path);
  f.openDurationMs = doc_.openMilliseconds;
  const int last = v.LastRow;
  f.sizeBytes = static_cast<uint64_t>(v.PosToOffset(static_cast<int>(v.GetRow(last).size()), last));
  f.lineCount = v.RowCount();
  f.cursorRow = v.CursorRow;
  f.cursorCol = v.CursorCol;
  f.cursorOffset = v.PosToOffset(v.CursorCol, v.CursorRow);
  f.hasSelection = v.HasSelection();
  if (f.hasSelection) f.selectionBytes = v.GetSelectedText().size();

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
