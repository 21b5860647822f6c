#include "pointer_placement.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QWidget>

#include "screen_area.h"
#include "shell/screen_placement.h"

namespace prambus {

void PlaceAtMousePointer(QWidget* dialog) {
  // A pixel below the pointer (above it near the bottom), inside the work
  // area of the screen that holds the pointer.
  const QPoint pointer = QCursor::pos();
  const QSize size = FrameSizeOf(dialog);
  dialog->move(ToQPoint(BelowPointer(ToPoint(pointer), size.width(), size.height(),
                                     AvailableAreaAt(pointer, dialog->parentWidget()), 1)));
}

bool ChosenAtPointer(const QAction* action) {
  const QPoint pointer = QCursor::pos();
  for (QObject* shown : action->associatedObjects()) {
    auto* menu = qobject_cast<QMenu*>(shown);
    // A menu never opened has no place on the screen. One just closed by
    // the choice keeps its place.
    if (!menu || !menu->testAttribute(Qt::WA_WState_ExplicitShowHide)) continue;
    if (menu->actionGeometry(const_cast<QAction*>(action)).contains(menu->mapFromGlobal(pointer)))
      return true;
  }
  return false;
}

}  // namespace prambus
