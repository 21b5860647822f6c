// The status bar of the main window: six panels refreshed with the caret.
// Each panel is at least its own width and grows to fit its text (a line
// count of seven figures is shown whole); the last takes the rest.
#include <QStatusBar>

#include "main_window.h"
#include "shell/status_text.h"

namespace prambus {

namespace {
constexpr int kPanelWidths[6] = {70, 70, 80, 60, 80, 50};
}  // namespace

void MainWindow::BuildStatusBar() {
  QStatusBar* sb = statusBar();
  sb->setSizeGripEnabled(false);
  for (int i = 0; i < 6; ++i) {
    panels_[i] = new QLabel(sb);
    panels_[i]->setMinimumWidth(kPanelWidths[i]);
    if (i < 5) {
      panels_[i]->setFixedWidth(kPanelWidths[i]);
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
  in.rowCountPartial = load_ != nullptr;
  in.insertMode = view_->InsertMode;
  in.openDurationMs = openDuration_;
  for (QAction* a : encodingActions_)
    if (a->isChecked()) in.encodingCaption = a->text().toStdString();
  const auto texts = StatusPanels(in);
  for (int i = 0; i < 6; ++i) {
    QLabel* panel = panels_[i];
    const QString text = QString::fromStdString(texts[i]);
    if (panel->text() != text) panel->setText(text);
    if (i == 5) continue;
    const int frame = 2 * panel->frameWidth() + 2 * panel->margin() + 4;
    const int needed = panel->fontMetrics().horizontalAdvance(text) + frame;
    const int width = std::max(kPanelWidths[i], needed);
    if (panel->minimumWidth() != width || panel->maximumWidth() != width)
      panel->setFixedWidth(width);
  }
}

}  // namespace prambus
