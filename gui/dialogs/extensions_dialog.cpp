#include "extensions_dialog.h"

#include <QKeyEvent>

#include "new_extension_dialog.h"
#include "pointer_placement.h"
#include "shell/view_kind_table.h"

namespace prambus {

ExtensionsDialog::ExtensionsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Расширения");
  setFixedSize(330, 230);
  list_ = new QListWidget(this);
  list_->setGeometry(10, 10, 210, 210);
  add_ = new QPushButton("Добавить...", this);
  auto* ok = new QPushButton("OK", this);
  auto* cancel = new QPushButton("Отмена", this);
  add_->setGeometry(232, 10, 88, 28);
  ok->setGeometry(232, 154, 88, 28);
  cancel->setGeometry(232, 192, 88, 28);
  ok->setDefault(true);
  newExtension_ = new NewExtensionDialog(this);
  connect(add_, &QPushButton::clicked, this, &ExtensionsDialog::AddExtension);
  connect(ok, &QPushButton::clicked, this, [this] { done(1); });
  connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
}

void ExtensionsDialog::Fill(const std::vector<ExtensionBinding>& bindings,
                            const std::function<bool(const std::string&)>& isBound,
                            const QColor& background, const QColor& text) {
  list_->clear();
  working_.clear();
  for (const ExtensionBinding& b : bindings) AddLine(b, isBound(b.ext));
  QPalette pal = list_->palette();
  pal.setColor(QPalette::Base, background);
  pal.setColor(QPalette::Text, text);
  list_->setPalette(pal);
}

void ExtensionsDialog::AddLine(const ExtensionBinding& binding, bool ticked) {
  const char* view = kViewKindNames[binding.viewIndex == 1 ? 1 : 0];
  auto* item = new QListWidgetItem(
      QString::fromStdString(binding.ext) + " - " + QString::fromUtf8(view), list_);
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  working_.push_back(binding);
}

std::vector<BindingChoice> ExtensionsDialog::Choices() const {
  std::vector<BindingChoice> choices;
  for (int i = 0; i < list_->count(); ++i)
    choices.push_back(
        {working_[static_cast<size_t>(i)], list_->item(i)->checkState() == Qt::Checked});
  return choices;
}

void ExtensionsDialog::AddExtension() {
  newExtension_->Prepare();
  newExtension_->adjustSize();
  PlaceAtMousePointer(newExtension_);
  if (newExtension_->exec() != 1) return;
  const std::optional<std::string> ext =
      ExtensionFromField(newExtension_->TypedText().toStdString());
  if (!ext) return;
  if (IsRefusedExtension(*ext)) {
    if (showMessage) showMessage(QString::fromUtf8(kRefusedNewExtensionMessage));
    return;
  }
  AddLine({*ext, static_cast<uint8_t>(newExtension_->ViewIndex())}, true);
}

void ExtensionsDialog::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    done(2);
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace prambus
