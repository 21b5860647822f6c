// "Справка программы Прамбус..." and F1: the help document, beside the
// executable or in the installation's documentation folder, in the desktop's
// browser.
#include <QCoreApplication>
#include <QFileInfo>

#include "desktop_opener.h"
#include "main_window.h"
#include "shell/file_messages.h"
#include "shell/help_location.h"

namespace prambus {

void MainWindow::OpenHelp() {
  const QString help = QString::fromStdString(
      HelpDocumentPath(QCoreApplication::applicationDirPath().toStdString()));
  const std::string path = help.toStdString();
  if (!QFileInfo(help).isFile()) {
    ReportFailure(HelpFailedMessage(path, HelpProblem::kNoHelpFile));
    return;
  }
  OpenWithDesktop(help, this, [this, path] {
    ReportFailure(HelpFailedMessage(path, HelpProblem::kNoBrowser));
  });
}

}  // namespace prambus
