// The window title: the document's file name (or "Безымянный.txt") with the
// program's name, marked "* " while the document is modified. The mark
// follows the document's revision: whatever changes the bytes (a key, a
// plug-in, a replace) advances it, and the window only shows it.
#include <QFile>
#include <utility>

#include "main_window.h"
#include "recovery_keeper.h"
#include "shell/file_rules.h"
#include "shell/shown_name.h"

namespace prambus {

QString MainWindow::TitleOf(const std::string& path) {
  // Control characters (a line break is legal in a file name) become spaces,
  // as in the menus, so the title stays one line; the hand-over request,
  // which carries the title on one line, stays whole too. Bytes that are not
  // text are shown as "\xNN".
  const QString name =
      path.empty() ? QString("Безымянный.txt") : QString::fromStdString(ShownNameOf(path));
  return name + " - Прамбус";
}

std::string MainWindow::NativePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString MainWindow::ShownPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QString MainWindow::FileName() const {
  return ShownPath(doc_.path);
}

quint32 MainWindow::WindowHash() const {
  return doc_.path.empty() ? 0 : FileNameHash(doc_.path);
}

void MainWindow::RefreshTitle() {
  titleMarked_ = doc_.Modified();
  const QString title = TitleOf(doc_.path);
  setWindowTitle(titleMarked_ ? "* " + title : title);
  if (recovery_) recovery_->Follow();
}

void MainWindow::FollowRevision() {
  if (doc_.Modified() != titleMarked_) RefreshTitle();
  if (recovery_) recovery_->Follow();
}

Document MainWindow::SwapDocument(Document next) {
  Document previous = std::exchange(doc_, std::move(next));
  previous.SetRevisionListener(nullptr);
  doc_.SetRevisionListener([this] { FollowRevision(); });
  return previous;
}

}  // namespace prambus
