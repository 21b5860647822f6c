// The window title: the document's file name (or "Безымянный.txt") with the
// program's name, marked "* " while the document is modified.
#include <QFileInfo>

#include "main_window.h"

namespace prambus {

QString MainWindow::TitleOf(const QString& path) {
  const QString name = path.isEmpty() ? QString("Безымянный.txt") : QFileInfo(path).fileName();
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
