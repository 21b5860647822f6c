// The recent files in "Файл": rebuilt each time the menu opens, at position 7
// (between the two separators before "Выход") or in the submenu "Последние
// файлы"; a click reopens the file where it was left.
#include <QFileInfo>

#include "io/io_error.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shell/recent_list.h"
#include "shell/shown_name.h"

namespace prambus {

namespace {
constexpr int kRecentPosition = 7;
}  // namespace

void MainWindow::RebuildRecentMenu() {
  QMenu* file = menus_.file;
  // Everything between position 7 and the separator before "Выход" goes.
  for (;;) {
    const QList<QAction*> items = file->actions();
    const qsizetype exitAt = items.indexOf(actions_.exit);
    if (exitAt - 1 <= kRecentPosition) break;
    QAction* item = items[kRecentPosition];
    file->removeAction(item);
    if (QMenu* sub = item->menu(); sub && sub->parent() == file)
      sub->deleteLater();
    else
      item->deleteLater();
  }
  recentItems_.clear();

  const RecentMenuPlan plan =
      PlanRecentMenu(state_.recent, Cfg().MaxRecentListLen, Cfg().RecListinSubMenu);
  QAction* before = file->actions()[kRecentPosition];
  QMenu* sub = nullptr;
  if (plan.subMenu) {
    sub = new QMenu("Последние файлы\tCtrl+Tab", file);
    file->insertMenu(before, sub);
  }
  for (int i = 0; i < plan.count; ++i) {
    const std::string caption = MenuCaptionOf(ShownNameOf(state_.recent[i].path));
    auto* item = new QAction(QString::fromStdString(caption),
                             sub ? static_cast<QObject*>(sub) : static_cast<QObject*>(file));
    ConnectCommand(item, [this, i] { OpenRecentItem(i); });
    if (sub)
      sub->addAction(item);
    else
      file->insertAction(before, item);
    recentItems_.push_back(item);
  }
}

void MainWindow::OpenRecentItem(int index) {
  if (index < 0 || index >= static_cast<int>(state_.recent.size())) return;
  if (state_.recent[index].path.empty()) return;
  if (doc_.Modified() && AskToSave()) return;
  // The entry's bytes are kept: pushing the current file may move it.
  const std::string target = state_.recent[index].path;
  PushCurrentToRecent();
  CaptureWindowState();
  try {
    OpenPath(target);
  } catch (const IoError& e) {
    // The file is gone or cannot be read: it leaves the list, the document
    // shown stays (it is set aside only once the file opens), and the user
    // is told why.
    RemoveRecentPath(state_.recent, target);
    ReportFailure(CannotOpenMessage(target, e.Problem(), e.Errno()) +
                  " Я убрал его из списка последних файлов.");
  }
}

}  // namespace prambus
