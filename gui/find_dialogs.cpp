#include "find_dialogs.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "main_window.h"
#include "platform/services.h"
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

// ----------------------------------------------------------- "Заменить" ----

ReplaceDialog::ReplaceDialog(MainWindow* main) : QDialog(main), main_(main) {
  setWindowTitle("Заменить");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(470, 230);
  auto* l1 = new QLabel("Заменяемый фрагмент", this);
  l1->setGeometry(10, 8, 250, 18);
  edit1 = new EntryField(this);
  edit1->setGeometry(10, 28, 330, 24);
  auto* l2 = new QLabel("Заменяющий фрагмент", this);
  l2->setGeometry(10, 58, 250, 18);
  edit2 = new EntryField(this);
  edit2->setGeometry(10, 78, 330, 24);
  Button4 = new QPushButton("Найти далее", this);
  Button1 = new QPushButton("Заменить", this);
  Button2 = new QPushButton("Заменить всё", this);
  Button3 = new QPushButton("Завершить", this);
  int y = 26;
  for (QPushButton* b : {Button4, Button1, Button2, Button3}) {
    b->setGeometry(352, y, 108, 28);
    y += 34;
  }
  CheckBox1 = new QCheckBox("С учётом регистра", this);
  CheckBox2 = new QCheckBox("Заменять коды", this);
  CheckBox3 = new QCheckBox("Отмена включена", this);
  CheckBox3->setChecked(true);
  CheckBox1->setGeometry(10, 110, 170, 22);
  CheckBox2->setGeometry(10, 134, 170, 22);
  CheckBox3->setGeometry(10, 158, 170, 22);
  auto* group = new QGroupBox("Откуда начинать?", this);
  group->setGeometry(190, 108, 150, 110);
  fromStart = new QRadioButton("С самого начала", group);
  fromCursor = new QRadioButton("С позиции курсора", group);
  inSelection = new QRadioButton("В выделенном тексте", group);
  fromStart->setGeometry(6, 22, 140, 22);
  fromCursor->setGeometry(6, 48, 140, 22);
  inSelection->setGeometry(6, 74, 140, 22);
  fromStart->setChecked(true);
  connect(Button4, &QPushButton::clicked, this, &ReplaceDialog::FindNextClicked);
  connect(Button1, &QPushButton::clicked, this, &ReplaceDialog::ReplaceClicked);
  connect(Button2, &QPushButton::clicked, this, &ReplaceDialog::ReplaceAllClicked);
  connect(Button3, &QPushButton::clicked, this, &QDialog::hide);
  for (QLineEdit* e : {static_cast<QLineEdit*>(edit1), static_cast<QLineEdit*>(edit2)})
    connect(e, &QLineEdit::textEdited, this, [this] { ResetSearch(); });
  connect(CheckBox1, &QCheckBox::clicked, this, [this] { ResetSearch(); });
  connect(CheckBox2, &QCheckBox::clicked, this, [this] { ResetSearch(); });
  edit1->onKey = [this](int key) {
    if (key == 13)
      edit2->setFocus();
    else
      hide();
  };
  edit2->onKey = [this](int key) {
    if (key == 13)
      ReplaceClicked();
    else
      hide();
  };
}

void ReplaceDialog::ResetSearch() {
  TakeOptions();
  session_.Reset();
  ShowStartChoice();
}

void ReplaceDialog::ShowFor(bool byShortcut, bool hasSelection) {
  edit1->clear();
  edit2->clear();
  TakeOptions();
  session_.Show(hasSelection);
  ShowStartChoice();
  PlaceFindDialog(this, main_, byShortcut);
  show();
  activateWindow();
  edit1->setFocus();
}

void ReplaceDialog::TakeOptions() {
  ReplaceOptions& o = session_.options;
  o.find = ToCp1251(edit1->text());
  o.replace = ToCp1251(edit2->text());
  o.caseSensitive = CheckBox1->isChecked();
  o.replaceCodes = CheckBox2->isChecked() && CheckBox2->isEnabled();
  o.undoOn = CheckBox3->isChecked();
  o.start = inSelection->isChecked()  ? StartFrom::kSelection
            : fromCursor->isChecked() ? StartFrom::kCursor
                                      : StartFrom::kBeginning;
}

// The session decides which start choices are open (the selection one only
// until a search uses the selection up); the buttons show it.
void ReplaceDialog::ShowStartChoice() {
  inSelection->setEnabled(session_.SelectionChoice);
  switch (session_.options.start) {
    case StartFrom::kSelection:
      inSelection->setChecked(true);
      break;
    case StartFrom::kCursor:
      fromCursor->setChecked(true);
      break;
    case StartFrom::kBeginning:
      fromStart->setChecked(true);
      break;
  }
}

void ReplaceDialog::ShowEndMessage(const std::string& message) {
  if (!message.empty()) main_->ShowNote(QString::fromStdString(message));
}

void ReplaceDialog::FindNextClicked() {
  if (!main_->View()) return;
  TakeOptions();
  std::string message;
  session_.FindNext(*main_->View(), message);
  ShowStartChoice();
  main_->AfterSearch();
  ShowEndMessage(message);
}

void ReplaceDialog::ReplaceClicked() {
  if (!main_->View()) return;
  TakeOptions();
  std::string message;
  if (session_.Replace(*main_->View(), message))
    main_->AfterReplace();
  else
    main_->AfterSearch();
  ShowStartChoice();
  ShowEndMessage(message);
}

void ReplaceDialog::ReplaceAllClicked() {
  if (!main_->View()) return;
  TakeOptions();
  std::string message;
  if (session_.ReplaceAll(*main_->View(), message) > 0)
    main_->AfterReplace();
  else
    main_->AfterSearch();
  ShowStartChoice();
  ShowEndMessage(message);
}

void ReplaceDialog::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return edit2->setFocus();
  if (e->key() == Qt::Key_Escape) return hide();
  QDialog::keyPressEvent(e);
}

void ReplaceDialog::hideEvent(QHideEvent* e) {
  QDialog::hideEvent(e);
  main_->AfterFindDialogHidden();
}

}  // namespace prambus
