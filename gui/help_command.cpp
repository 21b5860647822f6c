// "Справка программы Прамбус..." and F1: the help document, beside the
// executable or in the installation's documentation folder, in the desktop's
// browser.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "main_window.h"
#include "shell/help_location.h"

namespace prambus {

void MainWindow::OpenHelp() {
  const QString help = QString::fromStdString(
      HelpDocumentPath(QCoreApplication::applicationDirPath().toStdString()));
  QDesktopServices::openUrl(QUrl::fromLocalFile(help));
}

}  // namespace prambus
