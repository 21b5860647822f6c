// A canvas with fixed, known metrics (every character 8 px wide and 16 px
// high unless overridden per code) that records what was drawn, so layout
// and painting rules can be asserted to the pixel.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace prambus {

struct DrawnText {
  int x, y;
  std::string text;
  bool opaque;
  Color fontColor;
  Color brushColor;
};

struct DrawnRect {
  Rect rect;
  Color color;
};

class TestCanvas : public Canvas {
 public:
  TestCanvas();
  void SetCharWidth(uint8_t c, int w) { widths_[c] = w; }
  void SetAllWidths(int w) { widths_.fill(w); }
  void SetHeight(int h) { height_ = h; }

  void SetFont(const Font& font) override { font_ = font; }
  const Font& GetFont() const override { return font_; }
  void SetFontColor(Color c) override { font_.color = c; }
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view) override { return height_; }
  void TextOut(int x, int y, std::string_view text) override;
  // Recorded as given, in UTF-8.
  void TextOutUtf8(int x, int y, std::string_view utf8) override { TextOut(x, y, utf8); }
  void SetTransparent(bool t) override { transparent_ = t; }
  bool Transparent() const override { return transparent_; }
  void SetBrushColor(Color c) override { brush_ = c; }
  Color BrushColor() const override { return brush_; }
  void SetPen(Color c, int w) override {
    pen_ = c;
    penWidth_ = w;
  }
  Color PenColor() const override { return pen_; }
  int PenWidth() const override { return penWidth_; }
  void FillRect(const Rect& r) override { rects.push_back({r, brush_}); }
  void Polyline(const std::vector<Point>& pts) override { lines.push_back(pts); }
  void SetClip(const Rect& r) override { clips.push_back(r); }
  void RemoveClip() override {}
  int DpiX() const override { return dpi; }
  int DpiY() const override { return dpi; }

  // Text drawn, concatenated in drawing order.
  std::string AllText() const;
  void ClearRecords();

  std::vector<DrawnText> texts;
  std::vector<DrawnRect> rects;
  std::vector<std::vector<Point>> lines;
  std::vector<Rect> clips;
  int dpi = 96;

 private:
  std::array<int, 256> widths_{};
  int height_ = 16;
  Font font_;
  bool transparent_ = true;
  Color brush_ = 0xFFFFFF;
  Color pen_ = 0;
  int penWidth_ = 1;
};

}  // namespace prambus
