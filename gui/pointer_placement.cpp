#include "pointer_placement.h"

#include <QCursor>
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

}  // namespace prambus
