#include "support/test_canvas.h"

namespace prambus {

TestCanvas::TestCanvas() {
  widths_.fill(8);
}

int TestCanvas::TextWidth(std::string_view text) {
  int w = 0;
  for (unsigned char c : text) w += widths_[c];
  return w;
}

void TestCanvas::TextOut(int x, int y, std::string_view text) {
  texts.push_back({x, y, std::string(text), !transparent_, font_.color, brush_});
}

std::string TestCanvas::AllText() const {
  std::string s;
  for (const auto& t : texts) s += t.text;
  return s;
}

void TestCanvas::ClearRecords() {
  texts.clear();
  rects.clear();
  lines.clear();
  clips.clear();
}

}  // namespace prambus
