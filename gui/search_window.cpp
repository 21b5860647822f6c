#include "search_window.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "main_window.h"

namespace prambus {

SearchWindow::SearchWindow(MainWindow* main, const QString& caption, int width, int height)
    : QDialog(main), main_(main) {
  setWindowTitle(caption);
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(width, height);
}

void SearchWindow::ShowPlaced(bool byShortcut, QWidget* focus) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  int left, top;
  const QPoint pointer = QCursor::pos();
  if (byShortcut) {
    const QRect g = main_->frameGeometry();
    left = g.left() + (g.width() - width()) / 2;
    top = g.top() + (g.height() - height()) / 2;
  } else {
    left = pointer.x() - width() / 2;
    top = pointer.y();
  }
  if (left + width() > area.width()) left = area.width() - width();
  if (left < 0) left = 0;
  if (top + height() > area.height()) top = pointer.y() - height();
  if (top < 0) top = 0;
  move(left, top);
  show();
  activateWindow();
  focus->setFocus();
}

void SearchWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return EnterPressed();
  if (e->key() == Qt::Key_Escape) return hide();
  QDialog::keyPressEvent(e);
}

void SearchWindow::hideEvent(QHideEvent* e) {
  QDialog::hideEvent(e);
  main_->AfterFindDialogHidden();
}

}  // namespace prambus
