// Where the small dialogs appear: the extensions dialogs at the mouse
// pointer, the welcome window's rows, the About window over the main window.
#pragma once

#include "platform/canvas.h"

namespace prambus {

// Centred on the pointer horizontally and kept on the screen; just below
// the pointer, or just above it when it would reach the bottom.
Point PlaceAtPointer(Point pointer, int width, int height, int screenWidth, int screenHeight);

// The top-left corner that centres a width x height window over `outer`
// (a screen or another window).
Point CentreOver(const Rect& outer, int width, int height);

// The welcome window: the greeting on top, then per view kind a label and
// below it an edit field, then the buttons.
struct WelcomeRows {
  int labelTop[2] = {};
  int fieldTop[2] = {};
  int buttonsTop = 0;
  int clientHeight = 0;
};
WelcomeRows LayOutWelcomeRows(int labelHeight, int fieldHeight, int buttonHeight);

}  // namespace prambus
