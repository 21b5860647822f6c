// A printed sheet as the print view sees it: the printer's canvas with its
// origin moved to the corner of the page's margins. Drawing can be held back
// while measuring and the drawing state still reach the printer, so a page
// outside the chosen range is laid out exactly as printed but leaves no mark
// (and no hidden text in a PDF).
#pragma once

#include "platform/canvas.h"

namespace prambus {

class PageCanvas : public Canvas {
 public:
  explicit PageCanvas(Canvas& sheet) : sheet_(sheet) {}

  void SetOrigin(Point origin) { origin_ = origin; }
  Point Origin() const { return origin_; }
  void SetDrawing(bool on) { drawing_ = on; }
  bool Drawing() const { return drawing_; }

  void SetFont(const Font& font) override { sheet_.SetFont(font); }
  const Font& GetFont() const override { return sheet_.GetFont(); }
  void SetFontColor(Color c) override { sheet_.SetFontColor(c); }
  int TextWidth(std::string_view text) override { return sheet_.TextWidth(text); }
  int TextHeight(std::string_view text) override { return sheet_.TextHeight(text); }
  void TextOut(int x, int y, std::string_view text) override;
  void TextOutUtf8(int x, int y, std::string_view utf8) override;
  void SetTransparent(bool transparent) override { sheet_.SetTransparent(transparent); }
  bool Transparent() const override { return sheet_.Transparent(); }
  void SetBrushColor(Color c) override { sheet_.SetBrushColor(c); }
  Color BrushColor() const override { return sheet_.BrushColor(); }
  void SetPen(Color c, int width) override { sheet_.SetPen(c, width); }
  Color PenColor() const override { return sheet_.PenColor(); }
  int PenWidth() const override { return sheet_.PenWidth(); }
  void FillRect(const Rect& r) override;
  void Polyline(const std::vector<Point>& points) override;
  void SetClip(const Rect& r) override { sheet_.SetClip(Shifted(r)); }
  void RemoveClip() override { sheet_.RemoveClip(); }
  int DpiX() const override { return sheet_.DpiX(); }
  int DpiY() const override { return sheet_.DpiY(); }

 private:
  Rect Shifted(const Rect& r) const {
    return {r.left + origin_.x, r.top + origin_.y, r.right + origin_.x, r.bottom + origin_.y};
  }

  Canvas& sheet_;
  Point origin_;
  bool drawing_ = true;
};

}  // namespace prambus
