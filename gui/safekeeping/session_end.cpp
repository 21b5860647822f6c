// The session ends (SIGTERM, SIGHUP at logout): nobody is there to answer
// the unsaved-document question, so the modified document is left as a
// recovery copy for the next start, data.dat is written as at "Выход", and
// the program ends.
#include <QCoreApplication>
#include <QTimer>

#include "main_window.h"
#include "recovery_keeper.h"

namespace prambus {

void MainWindow::EndSession() {
  if (ending_) return;
  if (doc_.load) {
    // Edits made in the part already loaded belong to the whole file: the
    // copy waits for the rest. A document only being read has none.
    if (doc_.Modified())
      LoadUntil([] { return false; });
    else
      CancelLoading();
  }
  if (doc_.Modified() && !doc_.load) recovery_->WriteNow({});
  recovery_->LeaveForNextStart();
  SaveSettingsAndQuit();
  // A window question that was up when the signal came (the first start's
  // greeting, say) may have been asked before the main loop ran: the loop
  // is told again once it runs.
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

}  // namespace prambus
