// The lines of a description drawn in a panel: cut at word bounds as the
// message box cuts its text, collected from the top while they fit, and the
// block centred vertically. Measures through a Canvas set to the panel's
// font; the text is Windows-1251.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace prambus {

struct PanelLine {
  std::string text;  // without the line break
  int x = 0, y = 0;  // top-left of the line's text cell
};

struct PanelLayout {
  std::vector<PanelLine> lines;
  bool clipped = false;  // lines that would reach the bottom were dropped
};

// The lines that fit the rectangle, each at its drawing place.
PanelLayout LayOutDescription(Canvas& canvas, const std::string& text, const Rect& r);

}  // namespace prambus
