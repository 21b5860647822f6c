// Working the next modal dialog from a test while the code under test waits
// in its exec().
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace prambus {

// Runs work on the next modal dialog once it is up and one of its controls
// has the focus, then closes it if work left it open. The focus arrives with
// the activation, which a loaded machine may deliver late; a dialog that
// never takes it is worked after two seconds, so the test's checks fail
// instead of waiting for ever.
inline void WhenModal(std::function<void(QWidget*)> work) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, work, ticks] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    QWidget* focus = QApplication::focusWidget();
    const bool focusInside = focus && (focus == modal || modal->isAncestorOf(focus));
    if (!focusInside && ++*ticks < 100) return;
    timer->stop();
    timer->deleteLater();
    work(modal);
    if (modal->isVisible()) modal->close();
  });
  timer->start();
}

}  // namespace prambus
