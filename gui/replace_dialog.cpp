#include "replace_dialog.h"

#include <QGroupBox>
#include <QLabel>

#include "main_window.h"
#include "qt_canvas.h"

namespace prambus {

ReplaceDialog::ReplaceDialog(MainWindow* main) : SearchWindow(main, "Заменить", 470, 230) {
  auto* l1 = new QLabel("Заменяемый фрагмент", this);
  l1->setGeometry(10, 8, 250, 18);
  findEdit = new EntryField(this);
  findEdit->setGeometry(10, 28, 330, 24);
  auto* l2 = new QLabel("Заменяющий фрагмент", this);
  l2->setGeometry(10, 58, 250, 18);
  replaceEdit = new EntryField(this);
  replaceEdit->setGeometry(10, 78, 330, 24);
  findNextButton = new QPushButton("Найти далее", this);
  replaceButton = new QPushButton("Заменить", this);
  replaceAllButton = new QPushButton("Заменить всё", this);
  closeButton = new QPushButton("Завершить", this);
  int y = 26;
  for (QPushButton* b : {findNextButton, replaceButton, replaceAllButton, closeButton}) {
    b->setGeometry(352, y, 108, 28);
    y += 34;
  }
  caseCheck = new QCheckBox("С учётом регистра", this);
  codesCheck = new QCheckBox("Заменять коды", this);
  undoCheck = new QCheckBox("Отмена включена", this);
  undoCheck->setChecked(true);
  caseCheck->setGeometry(10, 110, 170, 22);
  codesCheck->setGeometry(10, 134, 170, 22);
  undoCheck->setGeometry(10, 158, 170, 22);
  auto* group = new QGroupBox("Откуда начинать?", this);
  group->setGeometry(190, 108, 150, 110);
  fromStart = new QRadioButton("С самого начала", group);
  fromCursor = new QRadioButton("С позиции курсора", group);
  inSelection = new QRadioButton("В выделенном тексте", group);
  fromStart->setGeometry(6, 22, 140, 22);
  fromCursor->setGeometry(6, 48, 140, 22);
  inSelection->setGeometry(6, 74, 140, 22);
  fromStart->setChecked(true);
  connect(findNextButton, &QPushButton::clicked, this, &ReplaceDialog::FindNextClicked);
  connect(replaceButton, &QPushButton::clicked, this, &ReplaceDialog::ReplaceClicked);
  connect(replaceAllButton, &QPushButton::clicked, this, &ReplaceDialog::ReplaceAllClicked);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);
  for (QLineEdit* e : {static_cast<QLineEdit*>(findEdit), static_cast<QLineEdit*>(replaceEdit)})
    connect(e, &QLineEdit::textEdited, this, [this] { ResetSearch(); });
  connect(caseCheck, &QCheckBox::clicked, this, [this] { ResetSearch(); });
  connect(codesCheck, &QCheckBox::clicked, this, [this] { ResetSearch(); });
  findEdit->onKey = [this](int key) {
    if (key == 13)
      replaceEdit->setFocus();
    else
      hide();
  };
  replaceEdit->onKey = [this](int key) {
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
  findEdit->clear();
  replaceEdit->clear();
  TakeOptions();
  session_.Show(hasSelection);
  ShowStartChoice();
  ShowPlaced(byShortcut, findEdit);
}

void ReplaceDialog::TakeOptions() {
  ReplaceOptions& o = session_.options;
  o.find = ToCp1251(findEdit->text());
  o.replace = ToCp1251(replaceEdit->text());
  o.caseSensitive = caseCheck->isChecked();
  o.replaceCodes = codesCheck->isChecked() && codesCheck->isEnabled();
  o.undoOn = undoCheck->isChecked();
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
  RunReplace(
      [this](ViewBase& view, std::string& message) { return session_.Replace(view, message); });
}

void ReplaceDialog::ReplaceAllClicked() {
  RunReplace([this](ViewBase& view, std::string& message) {
    return session_.ReplaceAll(view, message) > 0;
  });
}

// One replace step with the options as they stand: the main window follows
// what it changed, then the end message, if any, is shown.
void ReplaceDialog::RunReplace(
    const std::function<bool(ViewBase& view, std::string& message)>& step) {
  if (!main_->View()) return;
  TakeOptions();
  std::string message;
  if (step(*main_->View(), message))
    main_->AfterReplace();
  else
    main_->AfterSearch();
  ShowStartChoice();
  ShowEndMessage(message);
}

}  // namespace prambus
