#include "print/page_canvas.h"

namespace prambus {

void PageCanvas::TextOut(int x, int y, std::string_view text) {
  if (drawing_) sheet_.TextOut(x + origin_.x, y + origin_.y, text);
}

void PageCanvas::TextOutUtf8(int x, int y, std::string_view utf8) {
  if (drawing_) sheet_.TextOutUtf8(x + origin_.x, y + origin_.y, utf8);
}

void PageCanvas::FillRect(const Rect& r) {
  if (drawing_) sheet_.FillRect(Shifted(r));
}

void PageCanvas::Polyline(const std::vector<Point>& points) {
  if (!drawing_) return;
  std::vector<Point> shifted(points);
  for (Point& p : shifted) {
    p.x += origin_.x;
    p.y += origin_.y;
  }
  sheet_.Polyline(shifted);
}

}  // namespace prambus
