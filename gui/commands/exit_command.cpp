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
  if (!MayEnd()) return;
  SaveSettingsAndQuit();
}

// The question about unsaved changes, asked once: a second close or "Выход"
// that comes while it is up (from a plug-in, the desktop's session) is
// refused rather than asking again over it.
bool MainWindow::MayEnd() {
  if (askingToEnd_) return false;
  askingToEnd_ = true;
  const bool stop = doc_.Modified() && AskToSave();
  askingToEnd_ = false;
  return !stop;
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
  if (!MayEnd()) {
    e->ignore();
    return;
  }
  SaveSettingsAndQuit();
  e->accept();
}

}  // namespace prambus
