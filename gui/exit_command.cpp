// "Выход" and closing the window: the unsaved-document question, then the
// recent list and the window state written to data.dat, then the end.
#include <QApplication>
#include <QCloseEvent>

#include "main_window.h"

namespace prambus {

void MainWindow::Exit() {
  if (modified_ && AskToSave()) return;
  SaveSettingsAndQuit();
}

bool MainWindow::SaveSettingsAndQuit() {
  ending_ = true;
  PushCurrentToRecent();
  CaptureWindowState();
  SaveSettings();
  QApplication::exit(0);
  return true;
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (ending_ || handedOver_) {
    e->accept();
    return;
  }
  FinishLoading();
  if (modified_ && AskToSave()) {
    e->ignore();
    return;
  }
  SaveSettingsAndQuit();
  e->accept();
}

}  // namespace prambus
