// The status bar of the main window: six panels refreshed with the caret,
// laid out by StatusPanelRow (each at least its own width, the first five
// growing to fit their texts, the last taking the rest).
#include <QStatusBar>

#include "main_window.h"
#include "settings/settings.h"
#include "shell/status_text.h"
#include "status_panel_row.h"
#include "views/text_view.h"

namespace prambus {

void MainWindow::BuildStatusBar() {
  QStatusBar* sb = statusBar();
  sb->setSizeGripEnabled(false);
  statusRow_ = new StatusPanelRow(sb);
  for (int i = 0; i < 6; ++i) panels_[i] = statusRow_->Panel(i);
  sb->addWidget(statusRow_, 1);
}

void MainWindow::RefreshStatusBar() {
  if (!view_) return;
  StatusInput in;
  in.cursorCol = view_->CursorColumn();
  in.anchorCol = view_->AnchorColumn();
  // Under UTF-8 both ends of a selection are shown in characters.
  if (const auto* text = dynamic_cast<const TextView*>(view_.get()); text && text->Utf8()) {
    in.cursorCol = text->CharColumn(view_->CursorRow(), view_->CursorColumn());
    in.anchorCol = text->CharColumn(view_->AnchorRow(), view_->AnchorColumn());
  }
  in.cursorRow = view_->CursorRow();
  in.hasSelection = view_->HasSelection();
  in.anchorRow = view_->AnchorRow();
  in.rowCount = view_->RowCount();
  in.rowCountPartial = doc_.load != nullptr;
  in.insertMode = view_->InsertMode();
  in.openDurationMs = doc_.openMilliseconds;
  in.encodingCaption = encodings_.FindOrWindows(doc_.encoding).caption;
  if (const auto* text = dynamic_cast<const TextView*>(view_.get()); text && text->ConvertLineEnds)
    in.savedLineEnd = Cfg().LineEnd;
  const auto texts = StatusPanels(in);
  bool changed = false;
  for (int i = 0; i < 6; ++i) {
    const QString text = QString::fromStdString(texts[i]);
    if (panels_[i]->text() == text) continue;
    panels_[i]->setText(text);
    changed = true;
  }
  if (changed) statusRow_->Relayout();
}

}  // namespace prambus
