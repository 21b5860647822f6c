// "Выход" and closing the window: the unsaved-document question, then the
// recent list and the window state written to data.dat, then the end.
#include <QApplication>
#include <QCloseEvent>

#include "main_window.h"

namespace prambus {

// A load still running is dropped at once, as Escape drops it: the document
// given back is the one the question is about, so no unsaved edit is lost
// and nothing half-loaded is ever saved.
void MainWindow::Exit() {
  CancelLoading();
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
  CancelLoading();
  if (modified_ && AskToSave()) {
    e->ignore();
    return;
  }
  SaveSettingsAndQuit();
  e->accept();
}

}  // namespace prambus
