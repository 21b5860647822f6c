#include "view_menu_item.h"

#include <QKeySequence>

namespace prambus {

ViewMenuItem::ViewMenuItem(const QString& caption, bool checkable, QObject* parent)
    : QAction(caption, parent), checkable_(checkable) {
  // The check mark is flipped by the main window's click handling, not by Qt.
  setCheckable(checkable);
}

void ViewMenuItem::SetShortcutText(const std::string& text) {
  setShortcut(QKeySequence(QString::fromStdString(text)));
}

}  // namespace prambus
