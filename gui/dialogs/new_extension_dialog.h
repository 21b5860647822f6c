// The "Новое расширение" dialog: one extension typed in, and the view that
// is to open files of it. Enter in the field confirms (result 1), Escape
// cancels (result 2).
#pragma once

#include <QComboBox>
#include <QDialog>

#include "entry_field.h"

namespace prambus {

class NewExtensionDialog : public QDialog {
  Q_OBJECT
 public:
  explicit NewExtensionDialog(QWidget* parent);
  // Empties the field and offers the view names with the first chosen.
  void Prepare();
  QString TypedText() const { return field_->text(); }
  int ViewIndex() const { return viewIndex_; }
  EntryField* Field() const { return field_; }
  QComboBox* Views() const { return views_; }

 private:
  EntryField* field_;
  QComboBox* views_;
  int viewIndex_ = 0;
};

}  // namespace prambus
