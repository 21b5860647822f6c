// Reads the plain messages the window shows, as a user would, and closes
// each with its button; keeps their texts for the test.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace prambus {

class MessageWatcher : public QObject {
 public:
  MessageWatcher() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible()) continue;
        texts << box->text();
        box->accept();
      }
    });
    timer_.start(10);
  }
  QStringList texts;

 private:
  QTimer timer_;
};

}  // namespace prambus
