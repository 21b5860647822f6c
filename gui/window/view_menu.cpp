// The view's own menu items in the main window (word wrap, line ends, the
// hex view's windows...): placing them, clicking them, and their check marks
// as the stored state keeps them.
#include "main_window.h"

namespace prambus {

void MainWindow::FreeViewItems() {
  for (ViewMenuItem* item : viewItems_) {
    if (QMenu* sub = item->menu()) sub->deleteLater();
    delete item;
  }
  viewItems_.clear();
  formatInserted_ = extraInserted_ = 0;
}

namespace {
// View items of "Дополнительно" follow its four commands and their separator.
constexpr int kExtraViewItemsAt = 5;
}  // namespace

// Items go to the top of "Формат", after the fixed items of "Дополнительно",
// or into the submenu of an earlier item.
void MainWindow::PlaceViewItems(const ViewMenuActions& actions) {
  for (const ViewMenuAction& a : actions) {
    auto* item = new ViewMenuItem(QString::fromStdString(a.caption), a.checkable, this);
    if (a.checkable) item->setChecked(a.initiallyMarked);
    item->SetHandler(a.handler);
    ConnectCommand(item, [this, item] { ClickViewItem(item); });
    if (a.placement == kPlaceFormat) {
      QAction* before = menus_.format->actions().value(formatInserted_, nullptr);
      menus_.format->insertAction(before, item);
      ++formatInserted_;
    } else if (a.placement == kPlaceExtra) {
      QAction* before = menus_.extra->actions().value(kExtraViewItemsAt + extraInserted_, nullptr);
      menus_.extra->insertAction(before, item);
      ++extraInserted_;
    } else if (a.placement - 2 < static_cast<int>(viewItems_.size())) {
      ViewMenuItem* parent = viewItems_[a.placement - 2];
      QMenu* sub = parent->menu();
      if (!sub) {
        sub = new QMenu(this);
        parent->setMenu(sub);
        connect(sub, &QMenu::aboutToShow, this, [parent] { parent->CallHandler(false); });
      }
      sub->addAction(item);
    }
    viewItems_.push_back(item);
  }
}

void MainWindow::RefreshViewMenuItems() {
  for (size_t i = 0; i < viewItems_.size(); ++i) {
    view_->AttachMenuItem(static_cast<int>(i), viewItems_[i]);
    if (viewItems_[i]->IsCheckableCommand()) viewItems_[i]->CallHandler(viewItems_[i]->isChecked());
  }
}

void MainWindow::ClickViewItem(ViewMenuItem* item) {
  if (!view_) return;
  // An item that changes the document (a code text pasted, line ends written
  // otherwise) advances its revision; the window follows Undo and Redo.
  item->CallHandler(item->isChecked());
  RefreshUndoRedo();
  FullRefresh();
}

void MainWindow::ApplyChecks(const std::vector<bool>& checks) {
  size_t k = 0;
  for (ViewMenuItem* item : viewItems_) {
    if (!item->IsCheckableCommand()) continue;
    if (k >= checks.size()) break;
    item->setChecked(checks[k++]);
  }
}

std::vector<bool> MainWindow::CurrentChecks() const {
  std::vector<bool> checks;
  for (ViewMenuItem* item : viewItems_)
    if (item->IsCheckableCommand()) checks.push_back(item->isChecked());
  return checks;
}

}  // namespace prambus
