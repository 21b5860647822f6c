#include "find_dialog.h"

#include <QLabel>

#include "main_window.h"
#include "qt_canvas.h"

namespace prambus {

FindDialog::FindDialog(MainWindow* main) : SearchWindow(main, "Найти", 390, 96) {
  phraseLabel = new QLabel("Фраза для поиска", this);
  phraseLabel->setGeometry(10, 8, 200, 18);
  phraseEdit = new EntryField(this);
  phraseEdit->setGeometry(10, 28, 270, 24);
  findNextButton = new QPushButton("Найти далее", this);
  findNextButton->setGeometry(290, 26, 90, 28);
  caseCheck = new QCheckBox("С учётом регистра", this);
  caseCheck->setGeometry(10, 62, 200, 22);
  closeButton = new QPushButton("Завершить", this);
  closeButton->setGeometry(290, 60, 90, 28);
  connect(findNextButton, &QPushButton::clicked, this, &FindDialog::FindNextClicked);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);
  phraseEdit->onKey = [this](int key) {
    if (key == 13)
      FindNextClicked();
    else
      hide();
  };
}

void FindDialog::ShowFor(bool byShortcut) {
  phraseEdit->clear();
  lastText.clear();
  ShowPlaced(byShortcut, phraseEdit);
}

void FindDialog::FindNextClicked() {
  const std::string text = ToCp1251(phraseEdit->text());
  if (text.empty()) return;
  const bool fromCursor = text == lastText;
  lastText = text;
  main_->FindWith(text, caseCheck->isChecked(), fromCursor);
}

}  // namespace prambus
