// "Справка программы Прамбус..." and F1: the help document beside the
// executable, in the desktop's browser.
#include <QCoreApplication>
#include <QFileInfo>

#include "desktop_opener.h"
#include "main_window.h"
#include "shell/file_messages.h"

namespace prambus {

void MainWindow::OpenHelp() {
  const QString help = QCoreApplication::applicationDirPath() + "/prambus.html";
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
