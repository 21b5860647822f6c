#include "replace_dialog.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScopedValueRollback>

#include "main_window.h"
#include "pass_wait.h"
#include "qt_canvas.h"

namespace prambus {

ReplaceDialog::ReplaceDialog(MainWindow* main) : SearchWindow(main, "Заменить") {
  auto* l1 = new QLabel("Заменяемый фрагмент", this);
  findEdit = new EntryField(this);
  auto* l2 = new QLabel("Заменяющий фрагмент", this);
  replaceEdit = new EntryField(this);
  findEdit->setMinimumWidth(330);
  findNextButton = new QPushButton("Найти далее", this);
  replaceButton = new QPushButton("Заменить", this);
  replaceAllButton = new QPushButton("Заменить всё", this);
  closeButton = new QPushButton("Завершить", this);
  caseCheck = new QCheckBox("С учётом регистра", this);
  codesCheck = new QCheckBox("Заменять коды", this);
  undoCheck = new QCheckBox("Отмена включена", this);
  undoCheck->setChecked(true);
  auto* group = new QGroupBox("Откуда начинать?", this);
  fromStart = new QRadioButton("С самого начала", group);
  fromCursor = new QRadioButton("С позиции курсора", group);
  inSelection = new QRadioButton("В выделенном тексте", group);
  fromStart->setChecked(true);
  auto* radios = new QVBoxLayout(group);
  for (QRadioButton* r : {fromStart, fromCursor, inSelection}) radios->addWidget(r);

  // The fields and options on the left, the buttons down the right.
  auto* checks = new QVBoxLayout;
  for (QCheckBox* c : {caseCheck, codesCheck, undoCheck}) checks->addWidget(c);
  checks->addStretch();
  auto* options = new QHBoxLayout;
  options->addLayout(checks);
  options->addWidget(group);
  auto* left = new QVBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{l1, findEdit, l2, replaceEdit})
    left->addWidget(w);
  left->addLayout(options);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {findNextButton, replaceButton, replaceAllButton, closeButton})
    buttons->addWidget(b);
  buttons->addStretch();
  auto* all = new QHBoxLayout(this);
  all->addLayout(left);
  all->addLayout(buttons);
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
  FixSize();
}

void ReplaceDialog::EnterPressed(QWidget* focus) {
  if (focus == replaceEdit)
    ReplaceClicked();
  else
    replaceEdit->setFocus();
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
  o.find = main_->ToDocumentText(findEdit->text());
  o.replace = main_->ToDocumentText(replaceEdit->text());
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
  if (!message.empty()) main_->ShowNote(QString::fromStdString(message), this);
}

void ReplaceDialog::FindNextClicked() {
  if (!main_->EnsureWholeDocument()) return;  // the search goes over the whole document
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

// A long run shows its progress and can be stopped (Escape, the button, or
// closing the main window) while it searches, with nothing changed.
void ReplaceDialog::ReplaceAllClicked() {
  if (replacingAll_) return;  // the button stops the run under way instead
  const QScopedValueRollback<bool> running(replacingAll_, true);
  RunReplace([this](ViewBase& view, std::string& message) {
    PassWait wait(*main_, replaceAllButton);
    const int count = session_.ReplaceAll(view, message, wait.Progress());
    wait.End();
    return count > 0;
  });
}

// One replace step with the options as they stand: the main window follows
// what it changed, then the end message, if any, is shown.
void ReplaceDialog::RunReplace(
    const std::function<bool(ViewBase& view, std::string& message)>& step) {
  if (!main_->EnsureWholeDocument()) return;  // replacing goes over the whole document
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
