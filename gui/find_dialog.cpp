#include "find_dialog.h"

#include <QGridLayout>
#include <QLabel>

#include "main_window.h"
#include "qt_canvas.h"

namespace prambus {

FindDialog::FindDialog(MainWindow* main) : SearchWindow(main, "Найти") {
  phraseLabel = new QLabel("Фраза для поиска", this);
  phraseEdit = new EntryField(this);
  phraseEdit->setMinimumWidth(270);
  findNextButton = new QPushButton("Найти далее", this);
  caseCheck = new QCheckBox("С учётом регистра", this);
  closeButton = new QPushButton("Завершить", this);
  auto* grid = new QGridLayout(this);
  grid->addWidget(phraseLabel, 0, 0);
  grid->addWidget(phraseEdit, 1, 0);
  grid->addWidget(findNextButton, 1, 1);
  grid->addWidget(caseCheck, 2, 0);
  grid->addWidget(closeButton, 2, 1);
  connect(findNextButton, &QPushButton::clicked, this, &FindDialog::FindNextClicked);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);
  phraseEdit->onKey = [this](int key) {
    if (key == 13)
      FindNextClicked();
    else
      hide();
  };
  FixSize();
}

void FindDialog::ShowFor(bool byShortcut) {
  phraseEdit->clear();
  lastText.clear();
  ShowPlaced(byShortcut, phraseEdit);
}

void FindDialog::FindNextClicked() {
  const std::string text = ToCp1251(phraseEdit->text());
  if (text.empty()) return;
  // Anyone's change since (an edit, another document) starts the search
  // afresh from the top.
  const bool fromCursor = text == lastText && main_->View() && main_->View()->IsAt(lastMark);
  lastText = text;
  main_->FindWith(text, caseCheck->isChecked(), fromCursor, this);
  if (main_->View()) lastMark = main_->View()->Mark();
}

}  // namespace prambus
