// The status bar of the main window: six panels refreshed with the caret.
#include <QStatusBar>

#include "main_window.h"
#include "shell/status_text.h"

namespace prambus {

void MainWindow::BuildStatusBar() {
  static const int kWidths[6] = {70, 70, 80, 60, 80, 50};
  QStatusBar* sb = statusBar();
  sb->setSizeGripEnabled(false);
  for (int i = 0; i < 6; ++i) {
    panels_[i] = new QLabel(sb);
    panels_[i]->setMinimumWidth(kWidths[i]);
    if (i < 5) {
      panels_[i]->setFixedWidth(kWidths[i]);
      panels_[i]->setAlignment(Qt::AlignCenter);
    }
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    sb->addWidget(panels_[i], i == 5 ? 1 : 0);
  }
}

void MainWindow::RefreshStatusBar() {
  if (!view_) return;
  StatusInput in;
  in.cursorCol = view_->CursorCol;
  in.cursorRow = view_->CursorRow;
  in.hasSelection = view_->HasSelection();
  in.anchorCol = view_->AnchorCol;
  in.anchorRow = view_->AnchorRow;
  in.rowCount = view_->RowCount();
  in.insertMode = view_->InsertMode;
  in.openDurationMs = openDuration_;
  for (QAction* a : encodingActions_)
    if (a->isChecked()) in.encodingCaption = a->text().toStdString();
  const auto texts = StatusPanels(in);
  for (int i = 0; i < 6; ++i) panels_[i]->setText(QString::fromStdString(texts[i]));
}

}  // namespace prambus
