// "Справка программы Прамбус..." and F1, the About window's link and
// "Скачать новый...": the help pages, beside the executable or in the
// installation's documentation folder, in the program's own help window.
#include <QCoreApplication>
#include <QFileInfo>

#include "help_window.h"
#include "main_window.h"
#include "screen_area.h"
#include "shell/file_messages.h"
#include "shell/help_location.h"
#include "shell/screen_placement.h"
#include "window_stacking.h"

namespace prambus {

void MainWindow::OpenHelp() {
  ShowHelpPage(kHelpFileName);
}

void MainWindow::ShowHelpPage(const char* fileName) {
  const std::string path =
      HelpDocumentPath(QCoreApplication::applicationDirPath().toStdString(), fileName);
  const QString page = QString::fromStdString(path);
  if (!QFileInfo(page).isFile()) {
    ReportFailure(HelpMissingMessage(path));
    return;
  }
  if (!helpWindow_) {
    helpWindow_ = std::make_unique<HelpWindow>();
    // First shown over the middle of the main window, on its screen.
    const QSize size = FrameSizeOf(helpWindow_.get());
    helpWindow_->move(ToQPoint(CentredOn(ToPoint(CentreOf(this)), size.width(), size.height(),
                                         AvailableAreaAt(CentreOf(this), this))));
  }
  // Above the data window and a main window that stays on top: the user has
  // just asked to read it.
  FollowTopmostWindows(helpWindow_.get());
  helpWindow_->ShowPage(page);
}

}  // namespace prambus
