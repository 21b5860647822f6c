#include "find_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "main_window.h"
#include "platform/services.h"
#include "qt_canvas.h"
#include "settings/settings.h"

namespace prambus {

namespace {
int CodesBase() {
  return std::clamp(Cfg().TextBaseSyst, 2, 36);
}
}  // namespace

FindDialog::FindDialog(MainWindow* main) : SearchWindow(main, "Найти") {
  phraseLabel = new QLabel("Фраза для поиска", this);
  phraseEdit = new EntryField(this);
  phraseEdit->setMinimumWidth(270);
  findNextButton = new QPushButton("Найти далее", this);
  caseCheck = new QCheckBox("С учётом регистра", this);
  closeButton = new QPushButton("Завершить", this);
  numberCheck = new QCheckBox("Искать число", this);
  typeBox = new QComboBox(this);
  for (int t = 0; t < kNumberTypeCount; ++t)
    typeBox->addItem(NumberTypeCaption(static_cast<NumberType>(t)));
  typeBox->setCurrentIndex(static_cast<int>(NumberType::kS32));
  orderBox = new QComboBox(this);
  orderBox->addItems({"от младшего байта (little-endian)", "от старшего байта (big-endian)"});
  codesBaseCheck = new QCheckBox(this);
  auto* grid = new QGridLayout(this);
  grid->addWidget(phraseLabel, 0, 0);
  grid->addWidget(phraseEdit, 1, 0);
  grid->addWidget(findNextButton, 1, 1);
  grid->addWidget(caseCheck, 2, 0);
  grid->addWidget(closeButton, 2, 1);
  grid->addWidget(numberCheck, 3, 0);
  auto* format = new QHBoxLayout;
  format->addWidget(typeBox);
  format->addWidget(orderBox);
  grid->addLayout(format, 4, 0, 1, 2);
  grid->addWidget(codesBaseCheck, 5, 0, 1, 2);
  connect(findNextButton, &QPushButton::clicked, this, &FindDialog::FindNextClicked);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);
  connect(numberCheck, &QCheckBox::toggled, this, [this] { ShowNumberOptions(); });
  connect(typeBox, &QComboBox::currentIndexChanged, this, [this] { ShowNumberOptions(); });
  phraseEdit->onKey = [this](int key) {
    if (key == 13)
      FindNextClicked();
    else
      hide();
  };
  ShowNumberChoice(false);
  FixSize();
}

void FindDialog::ShowNumberChoice(bool hexView) {
  numberCheck->setVisible(hexView);
  ShowNumberOptions();
}

// The type, order and base only while a number is looked for; the case
// only while text is.
void FindDialog::ShowNumberOptions() {
  const bool number = !numberCheck->isHidden() && numberCheck->isChecked();
  typeBox->setVisible(number);
  orderBox->setVisible(number);
  // Decimal is the codes' base already: the box would change nothing.
  codesBaseCheck->setVisible(number && CodesBase() != 10);
  codesBaseCheck->setText(QString("Целое число в системе счисления кодов (%1)").arg(CodesBase()));
  codesBaseCheck->setEnabled(!IsFloatType(Format().type));
  caseCheck->setEnabled(!number);
  phraseLabel->setText(number ? "Число для поиска" : "Фраза для поиска");
}

NumberFormat FindDialog::Format() const {
  return {static_cast<NumberType>(std::clamp(typeBox->currentIndex(), 0, kNumberTypeCount - 1)),
          orderBox->currentIndex() == 1};
}

void FindDialog::ShowFor(bool byShortcut) {
  phraseEdit->clear();
  lastText.clear();
  lastNumber.clear();
  ShowNumberOptions();  // the codes' base may have changed meanwhile
  ShowPlaced(byShortcut, phraseEdit);
}

void FindDialog::FindNextClicked() {
  if (SearchesNumber()) return FindNumber();
  const std::string text = main_->ToDocumentText(phraseEdit->text());
  if (text.empty()) return;
  const bool fromCursor = GoesOn(text == lastText);
  lastText = text;
  lastNumber.clear();
  main_->FindWith(text, caseCheck->isChecked(), fromCursor, this);
  MarkSearched();
}

// The same search again goes on from the match it selected, but only in the
// document as that search left it: anyone's change since (an edit, another
// document) starts it afresh from the top.
bool FindDialog::GoesOn(bool sameSearch) const {
  return sameSearch && main_->View() && main_->View()->IsAt(lastMark);
}

void FindDialog::MarkSearched() {
  if (main_->View()) lastMark = main_->View()->Mark();
}

void FindDialog::FindNumber() {
  const std::string typed = phraseEdit->text().toStdString();
  if (phraseEdit->text().trimmed().isEmpty()) return;
  const NumberFormat format = Format();
  const bool inCodesBase =
      codesBaseCheck->isVisible() && codesBaseCheck->isChecked() && !IsFloatType(format.type);
  std::string bytes, error;
  if (!EncodeNumber(typed, format, inCodesBase ? CodesBase() : 10, bytes, error)) {
    Beep();
    main_->ShowNote(QString::fromStdString(error), this);
    return;
  }
  // The same bytes again go on from the cursor, as the same phrase does.
  const bool fromCursor = GoesOn(bytes == lastNumber);
  lastNumber = bytes;
  lastText.clear();
  main_->FindNumber(bytes, NumberSearchName(typed, format), fromCursor, this);
  MarkSearched();
}

}  // namespace prambus
