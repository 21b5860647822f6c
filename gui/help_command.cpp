// "Справка программы Прамбус..." and F1: the help document beside the
// executable, in the desktop's browser.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "main_window.h"

namespace prambus {

void MainWindow::OpenHelp() {
  const QString help = QCoreApplication::applicationDirPath() + "/prambus.html";
  QDesktopServices::openUrl(QUrl::fromLocalFile(help));
}

}  // namespace prambus
