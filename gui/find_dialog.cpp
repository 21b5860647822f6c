#include "find_dialog.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "main_window.h"
#include "qt_canvas.h"

namespace prambus {

void PlaceFindDialog(QWidget* d, const QWidget* main, bool byShortcut) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  int left, top;
  const QPoint pointer = QCursor::pos();
  if (byShortcut) {
    const QRect g = main->frameGeometry();
    left = g.left() + (g.width() - d->width()) / 2;
    top = g.top() + (g.height() - d->height()) / 2;
  } else {
    left = pointer.x() - d->width() / 2;
    top = pointer.y();
  }
  if (left + d->width() > area.width()) left = area.width() - d->width();
  if (left < 0) left = 0;
  if (top + d->height() > area.height()) top = pointer.y() - d->height();
  if (top < 0) top = 0;
  d->move(left, top);
}

// ------------------------------------------------------------- "Найти" ----

FindDialog::FindDialog(MainWindow* main) : QDialog(main), main_(main) {
  setWindowTitle("Найти");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(390, 96);
  Label1 = new QLabel("Фраза для поиска", this);
  Label1->setGeometry(10, 8, 200, 18);
  edit1 = new EntryField(this);
  edit1->setGeometry(10, 28, 270, 24);
  Button2 = new QPushButton("Найти далее", this);
  Button2->setGeometry(290, 26, 90, 28);
  CheckBox1 = new QCheckBox("С учётом регистра", this);
  CheckBox1->setGeometry(10, 62, 200, 22);
  Button3 = new QPushButton("Завершить", this);
  Button3->setGeometry(290, 60, 90, 28);
  connect(Button2, &QPushButton::clicked, this, &FindDialog::FindNextClicked);
  connect(Button3, &QPushButton::clicked, this, &QDialog::hide);
  edit1->onKey = [this](int key) {
    if (key == 13)
      FindNextClicked();
    else
      hide();
  };
}

void FindDialog::ShowFor(bool byShortcut) {
  edit1->clear();
  lastText.clear();
  PlaceFindDialog(this, main_, byShortcut);
  show();
  activateWindow();
  edit1->setFocus();
}

void FindDialog::FindNextClicked() {
  const std::string text = ToCp1251(edit1->text());
  if (text.empty()) return;
  const bool fromCursor = text == lastText;
  lastText = text;
  main_->FindWith(text, CheckBox1->isChecked(), fromCursor);
}

void FindDialog::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return FindNextClicked();
  if (e->key() == Qt::Key_Escape) return hide();
  QDialog::keyPressEvent(e);
}

void FindDialog::hideEvent(QHideEvent* e) {
  QDialog::hideEvent(e);
  main_->AfterFindDialogHidden();
}

}  // namespace prambus
