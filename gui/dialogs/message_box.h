// The program's own message box: its text wrapped at word bounds, a size
// chosen to keep about 3.5 : 1, buttons in rows laid out from the dialog
// settings. Modal use returns 1000 + the button's index, or 2 for Escape and
// for closing it from the title bar. The first button has the focus and is
// the default: Enter presses the focused button, Tab goes along the buttons.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <functional>
#include <vector>

#include "shell/message_layout.h"

namespace prambus {

class MessageButton : public QPushButton {
  Q_OBJECT
 public:
  MessageButton(const QString& caption, int index, QWidget* parent);
  int Result() const { return 1000 + index_; }
  std::function<void()> action;  // runs after the box has closed

 private:
  int index_;
};

class MessageBox : public QDialog {
  Q_OBJECT
 public:
  MessageBox(QWidget* parent, const QString& caption, const QString& text,
             const QStringList& buttons);
  int ShowModal();
  void ShowModeless();  // released when closed or when it loses activation
  MessageButton* Button(int i) const { return buttons_[i]; }
  const MessageLayout& Layout() const { return layout_; }
  QString Text() const;

  // The program-wide anchor point of the next box.
  static void CentreOnMainWindow(const QWidget* window);
  static void CentreOnPointer();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void reject() override;  // Escape and the title bar's close

 private:
  void DoLayout();

  std::string text_;  // Windows-1251
  std::vector<MessageButton*> buttons_;
  MessageLayout layout_;
  QFont font_;
  bool modeless_ = false;
};

}  // namespace prambus
