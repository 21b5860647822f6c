// The one-line edit of the dialogs: Enter and Escape go straight to its own
// handler, once each, without the default processing.
#pragma once

#include <QKeyEvent>
#include <QLineEdit>
#include <functional>

namespace prambus {

class EntryField : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
  std::function<void(int key)> onKey;  // 13 for Enter, 27 for Escape

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) &&
        onKey) {
      onKey(e->key() == Qt::Key_Escape ? 27 : 13);
      return;
    }
    QLineEdit::keyPressEvent(e);
  }
};

}  // namespace prambus
