// A canvas with realistic character widths and no drawing, for benchmarks of
// layout and painting: by default those of the program's monospace view font
// (9 px a character at 16 px), or those of a proportional face.
#pragma once

#include <array>

#include "platform/canvas.h"

namespace prambus::bench {

class BenchCanvas : public Canvas {
 public:
  explicit BenchCanvas(bool proportional = false);
  void SetFont(const Font& f) override { font_ = f; }
  const Font& GetFont() const override { return font_; }
  void SetFontColor(Color c) override { font_.color = c; }
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view) override { return 19; }
  void TextOut(int, int, std::string_view text) override { drawn += text.size(); }
  void SetTransparent(bool t) override { transparent_ = t; }
  bool Transparent() const override { return transparent_; }
  void SetBrushColor(Color c) override { brush_ = c; }
  Color BrushColor() const override { return brush_; }
  void SetPen(Color, int) override {}
  Color PenColor() const override { return 0; }
  int PenWidth() const override { return 1; }
  void FillRect(const Rect&) override {}
  void Polyline(const std::vector<Point>&) override {}
  void SetClip(const Rect&) override {}
  void RemoveClip() override {}
  int DpiX() const override { return 96; }
  int DpiY() const override { return 96; }

  size_t drawn = 0;

 private:
  std::array<int, 256> widths_{};
  Font font_;
  bool transparent_ = true;
  Color brush_ = 0xFFFFFF;
};

}  // namespace prambus::bench
