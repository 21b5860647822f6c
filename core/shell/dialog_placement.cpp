#include "shell/dialog_placement.h"

#include <algorithm>

namespace prambus {

Point PlaceAtPointer(Point pointer, int width, int height, int screenWidth, int screenHeight) {
  Point p;
  p.x = std::max(0, std::min(pointer.x - width / 2, screenWidth - width));
  p.y = pointer.y + 1;
  if (p.y + height >= screenHeight) p.y = pointer.y - height - 1;
  p.y = std::max(0, p.y);
  return p;
}

Point CentreOver(const Rect& outer, int width, int height) {
  return {outer.left + (outer.right - outer.left - width) / 2,
          outer.top + (outer.bottom - outer.top - height) / 2};
}

WelcomeRows LayOutWelcomeRows(int labelHeight, int fieldHeight, int buttonHeight) {
  WelcomeRows rows;
  int y = 96;
  for (int i = 0; i < 2; ++i) {
    rows.labelTop[i] = y;
    rows.fieldTop[i] = y + labelHeight + 4;
    y += labelHeight + fieldHeight + 8;
  }
  rows.buttonsTop = y;
  rows.clientHeight = y + buttonHeight + 8;
  return rows;
}

}  // namespace prambus
