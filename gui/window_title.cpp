// The window title: the document's file name (or "Безымянный.txt") with the
// program's name, marked "* " while the document is modified.
#include "main_window.h"
#include "shell/recent_list.h"

namespace prambus {

QString MainWindow::TitleOf(const QString& path) {
  // Control characters (a line break is legal in a file name) become spaces,
  // as in the menus, so the title stays one line; the hand-over request,
  // which carries the title on one line, stays whole too.
  const QString name = path.isEmpty() ? QString("Безымянный.txt")
                                      : QString::fromStdString(ShownNameOf(path.toStdString()));
  return name + " - Прамбус";
}

void MainWindow::RefreshTitle() {
  const QString title = TitleOf(fileName_);
  setWindowTitle(modified_ ? "* " + title : title);
}

void MainWindow::SetModified(bool m) {
  if (m == modified_) return;
  modified_ = m;
  RefreshTitle();
}

}  // namespace prambus
