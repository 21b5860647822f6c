// The hex view's tool windows: "Расшифровка данных" (the bytes at the cursor
// as numbers, editable) and "Число столбцов".
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "newedit.h"

namespace prambus {

class Tform1;
class vwhex;

class thmyform : public QWidget {
  Q_OBJECT
 public:
  thmyform(Tform1* main, vwhex* view);
  ~thmyform() override;
  void PaintDataWindow();  // refills the boxes from the bytes at the cursor
  const std::vector<nwedit*>& DataEdits() const { return edits_; }
  std::vector<int> Tags() const { return tags_; }
  void DataEditEnter(int index);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildEdits();
  Tform1* main_;
  vwhex* view_;
  std::vector<nwedit*> edits_;
  std::vector<int> tags_;
  int labelX_ = 0;
};

class ColumnsForm : public QDialog {
  Q_OBJECT
 public:
  ColumnsForm(QWidget* parent, vwhex* view);
  void ShowAtPointer();
  nwedit* edit;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void Apply(int n);
  vwhex* view_;
};

}  // namespace prambus
