// Working the next modal dialog from a test while the code under test waits
// in its exec().
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace prambus {

// Runs work on the next modal dialog once it is up and has a focused
// control, then closes it if work left it open.
inline void WhenModal(std::function<void(QWidget*)> work) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, work] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !QApplication::focusWidget()) return;
    timer->stop();
    timer->deleteLater();
    work(modal);
    if (modal->isVisible()) modal->close();
  });
  timer->start();
}

}  // namespace prambus
