// The welcome window "Здравствуйте!" of the first start: a greeting and,
// per view kind, a field with the extensions that view is to open. "ОК"
// gives result 1, "Это мне не нужно" (or closing it) result 2.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "entry_field.h"

namespace prambus {

class WelcomeDialog : public QDialog {
  Q_OBJECT
 public:
  explicit WelcomeDialog(QWidget* parent);
  // The typed extension list of a view kind (table index 0 or 1).
  QString ExtensionList(int viewIndex) const { return fields_[viewIndex]->text(); }
  EntryField* Field(int viewIndex) const { return fields_[viewIndex]; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* NotNeededButton() const { return notNeeded_; }
  int Run();  // shows it modally, centred on the screen: 1 or 2

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QLabel* greeting_;
  std::array<EntryField*, 2> fields_{};
  QPushButton* ok_;
  QPushButton* notNeeded_;
};

}  // namespace prambus
