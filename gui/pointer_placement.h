// Small dialogs that open where the user clicked: centred on the mouse
// pointer, just below it (above when it would reach the bottom), on screen.
#pragma once

class QWidget;

namespace prambus {

void PlaceAtMousePointer(QWidget* dialog);

}  // namespace prambus
