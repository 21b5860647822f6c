// The hex view's "Число столбцов" window: the number of byte columns, with
// "-", "+" and "Готово".
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

 private:
  void Apply(int n);
  HexView* view_;
};

}  // namespace prambus
