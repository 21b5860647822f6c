// The hex view's "Число столбцов" window: the number of byte columns, with
// "-", "+" and "Готово". "+" and "-" typed anywhere in it, the field
// included, step the number; Enter applies the field's number.
#pragma once

#include <QDialog>

#include "entry_field.h"

namespace prambus {

class HexView;

class ColumnsDialog : public QDialog {
  Q_OBJECT
 public:
  ColumnsDialog(QWidget* parent, HexView* view);
  void ShowAtPointer();
  EntryField* edit;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Apply(int n);
  void ApplyTyped();
  bool PlusOrMinus(const QKeyEvent* e);  // true when it was one of them
  HexView* view_;
};

}  // namespace prambus
