// Small dialogs that open where the user clicked: centred on the mouse
// pointer, just below it (above when it would reach the bottom), on screen.
#pragma once

class QAction;
class QWidget;

namespace prambus {

void PlaceAtMousePointer(QWidget* dialog);

// Whether the command was chosen with the mouse: the pointer rests on one of
// the menu items that show the action. Chosen with the keys (or run by a
// shortcut) the pointer is anywhere, usually elsewhere.
bool ChosenAtPointer(const QAction* action);

}  // namespace prambus
