// The hex view's "Расшифровка данных" window: the bytes at the cursor as
// numbers, each editable. It is deleted when it closes. Doubles are shown
// with the desktop's decimal separator and read with either separator.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "entry_field.h"

namespace prambus {

class MainWindow;
class HexView;

class DataWindow : public QWidget {
  Q_OBJECT
 public:
  DataWindow(MainWindow* main, HexView* view);
  ~DataWindow() override;
  // At its saved place, unless it would cover keepClear (the character
  // column, in screen pixels), inside the work area of the main window's
  // screen.
  void Place(const QRect& keepClear);
  void PaintDataWindow();  // refills the boxes from the bytes at the cursor
  void BuildEdits();       // one box per row CodeInfo shows; kept while the rows stay the same
  const std::vector<EntryField*>& DataEdits() const { return edits_; }
  std::vector<int> Tags() const { return tags_; }
  void DataEditEnter(int index);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  // A value typed into the box of `tag`: a byte number moves the cursor,
  // any other value is written at it.
  void ApplyEntry(int tag, const std::string& text);
  MainWindow* main_;
  HexView* view_;
  std::vector<EntryField*> edits_;
  std::vector<int> tags_;
  int labelX_ = 0;
  char decimalPoint_ = '.';
};

}  // namespace prambus
