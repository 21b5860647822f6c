#include "search_window.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>

#include "entry_field.h"
#include "main_window.h"
#include "screen_area.h"
#include "shell/screen_placement.h"
#include "window_stacking.h"

namespace prambus {

namespace {
bool IsEnter(const QKeyEvent* e) {
  return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
}  // namespace

SearchWindow::SearchWindow(MainWindow* main, const QString& caption) : QDialog(main), main_(main) {
  setWindowTitle(caption);
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

void SearchWindow::FixSize() {
  // No button is the dialog's default: Enter is the window's own key.
  for (QPushButton* b : findChildren<QPushButton*>()) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
}

void SearchWindow::SetFieldColours(const QColor& background, const QColor& text) {
  for (EntryField* field : findChildren<EntryField*>()) {
    QPalette pal = field->palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Text, text);
    field->setPalette(pal);
  }
}

void SearchWindow::ShowPlaced(bool byShortcut, QWidget* focus) {
  const QSize size = FrameSizeOf(this);
  Point at;
  if (byShortcut) {
    const QPoint centre = CentreOf(main_);
    at = CentredOn(ToPoint(centre), size.width(), size.height(), AvailableAreaAt(centre, main_));
  } else {
    const QPoint pointer = QCursor::pos();
    at = BelowPointer(ToPoint(pointer), size.width(), size.height(),
                      AvailableAreaAt(pointer, main_));
  }
  move(ToQPoint(at));
  show();
  FrontAndFocused(this, focus);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress && IsEnter(static_cast<QKeyEvent*>(e))) {
    EnterPressed(focusWidget());
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void SearchWindow::keyPressEvent(QKeyEvent* e) {
  if (IsEnter(e)) return EnterPressed(focusWidget());
  if (e->key() == Qt::Key_Escape) return hide();
  QDialog::keyPressEvent(e);
}

void SearchWindow::hideEvent(QHideEvent* e) {
  QDialog::hideEvent(e);
  main_->AfterFindDialogHidden();
}

}  // namespace prambus
