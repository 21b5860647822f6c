#include "replace_dialog.h"

#include <QGroupBox>
#include <QLabel>

#include "find_dialog.h"
#include "main_window.h"
#include "qt_canvas.h"

namespace prambus {

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
  session_.Reset();
  if (!inSelection->isEnabled() && inSelection->isChecked()) fromStart->setChecked(true);
}

void ReplaceDialog::ShowFor(bool byShortcut, bool hasSelection) {
  edit1->clear();
  edit2->clear();
  session_.Reset();
  inSelection->setEnabled(hasSelection);
  if (hasSelection)
    inSelection->setChecked(true);
  else if (inSelection->isChecked())
    fromStart->setChecked(true);
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

void ReplaceDialog::ShowEndMessage(const std::string& message) {
  if (!message.empty()) main_->ShowNote(QString::fromStdString(message));
}

void ReplaceDialog::FindNextClicked() {
  if (!main_->View()) return;
  TakeOptions();
  std::string message;
  const bool fresh = session_.RegionLeft == -1;
  session_.FindNext(*main_->View(), message);
  if (fresh && session_.RegionLeft != -1) inSelection->setEnabled(false);
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
