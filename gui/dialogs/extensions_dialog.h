// The "Расширения" dialog: the extension bindings as a check list, ticked
// where the desktop opens the extension with this program now. "Добавить..."
// adds a line through the "Новое расширение" dialog; OK (result 1) hands the
// lines back to be bound and released, "Отмена" or Escape (result 2) drops
// them.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <vector>

#include "associations/extension_bindings.h"

namespace prambus {

class NewExtensionDialog;

class ExtensionsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ExtensionsDialog(QWidget* parent);
  // One line per binding, ticked by isBound, in the view's colours.
  void Fill(const std::vector<ExtensionBinding>& bindings,
            const std::function<bool(const std::string&)>& isBound, const QColor& background,
            const QColor& text);
  std::vector<BindingChoice> Choices() const;

  QListWidget* List() const { return list_; }
  QPushButton* AddButton() const { return add_; }
  NewExtensionDialog* NewExtension() const { return newExtension_; }
  // Shows the refusal of a system extension (between the modal steps).
  std::function<void(const QString&)> showMessage;

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void AddLine(const ExtensionBinding& binding, bool ticked);
  void AddExtension();

  QListWidget* list_;
  QPushButton* add_;
  NewExtensionDialog* newExtension_;
  std::vector<ExtensionBinding> working_;  // one per line
};

}  // namespace prambus
