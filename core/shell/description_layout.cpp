#include "shell/description_layout.h"

#include "shell/message_layout.h"

namespace prambus {

PanelLayout LayOutDescription(Canvas& canvas, const std::string& text, const Rect& r) {
  PanelLayout out;
  std::vector<PanelLine>& lines = out.lines;
  const int width = r.right - r.left - 3;
  int y = r.top + 1;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = BreakLine(canvas, text, start, width);
    const bool blankLine = end == start && (text[start] == '\n' || text[start] == '\r');
    // Not one character fits: it goes alone, so the text always moves on.
    if (end == start && !blankLine) ++end;
    std::string line = text.substr(start, end - start);
    const int height = canvas.TextHeight(line.empty() ? " " : line);
    if (y + height + 1 >= r.bottom) {
      out.clipped = true;
      break;
    }
    lines.push_back({std::move(line), r.left + 1, y});
    y += height + 1;
    start = SkipBreak(text, end);
  }
  // Centre the block: y is where the next line would have started.
  const int shift = r.top + (r.bottom - y + 2) / 2 - (r.top + 1);
  for (PanelLine& l : lines) l.y += shift;
  return out;
}

}  // namespace prambus
