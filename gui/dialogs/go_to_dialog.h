// "Перейти": a line of the text view (with a position in it if wanted) or a
// byte offset of the hex view, or a step from the cursor. What was typed is
// checked when "Перейти" is pressed: text that leads nowhere is explained
// under the field and the dialog stays open, so nothing in the document
// changes until a place is given.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/go_to.h"

namespace prambus {

class GoToDialog : public QDialog {
  Q_OBJECT
 public:
  // heading: what to type and the document's extent; current: the cursor's
  // place, offered in the field.
  GoToDialog(QWidget* parent, GoToUnit unit, int base, const QString& heading,
             const QString& current);

  // "Перейти" or Enter: accepts when the text leads to a place. With shift
  // (Shift held) the jump extends the selection, as the box does.
  void Submit(bool shift);
  const GoToRequest& Request() const { return request_; }
  bool Extend() const { return extend_; }

  QLabel* headingLabel;
  QLineEdit* field;
  QLabel* hintLabel;
  QLabel* problemLabel;  // why the text leads nowhere; hidden until then
  QCheckBox* extendCheck;
  QPushButton* goButton;
  QPushButton* cancelButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  GoToUnit unit_;
  int base_;
  GoToRequest request_;
  bool extend_ = false;
};

}  // namespace prambus
