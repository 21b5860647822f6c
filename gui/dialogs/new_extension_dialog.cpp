#include "new_extension_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "shell/view_kind_table.h"

namespace prambus {

NewExtensionDialog::NewExtensionDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Новое расширение");
  setFixedSize(300, 168);
  auto* prompt = new QLabel("Введите расширение, которое хотите\nдобавить в список", this);
  prompt->setGeometry(10, 8, 280, 36);
  field_ = new EntryField(this);
  field_->setGeometry(10, 48, 280, 24);
  auto* viewLabel = new QLabel("Его будет открывать просмотрщик", this);
  viewLabel->setGeometry(10, 80, 280, 18);
  views_ = new QComboBox(this);
  views_->setGeometry(10, 100, 280, 24);
  auto* ok = new QPushButton("ОК", this);
  auto* cancel = new QPushButton("Отмена", this);
  ok->setGeometry(110, 132, 85, 28);
  cancel->setGeometry(205, 132, 85, 28);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { done(1); });
  connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
  field_->onKey = [this](int key) { done(key == 13 ? 1 : 2); };
  connect(views_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) viewIndex_ = i;
  });
}

void NewExtensionDialog::Prepare() {
  field_->clear();
  views_->clear();
  for (const char* name : kViewKindNames) views_->addItem(QString::fromUtf8(name));
  views_->setCurrentIndex(0);
  viewIndex_ = 0;
  field_->setFocus();
}

}  // namespace prambus
