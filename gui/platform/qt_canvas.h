// The Canvas over a QPainter: the main window's off-screen surface image, or
// a printer page. 8-bit text is shown through the Windows-1251 table; text is
// measured for the device painted on.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "platform/canvas.h"

namespace prambus {

QColor ToQColor(Color c);
Color FromQColor(const QColor& c);
QString FromCp1251(std::string_view bytes);
std::string ToCp1251(const QString& text);
// The Qt font for a stored font; a missing face falls back to a monospace one
// (the view) or to the interface's sans face (message texts).
QFont ToQFont(const Font& f);
QFont ToQFontUi(const Font& f);

// Text is measured and drawn on one model: every character has a whole-pixel
// width (its advance in the font, rounded), a text is as wide as the sum of
// its characters, and each glyph is drawn exactly where that sum puts it. So
// the caret, clicks and selections computed from widths meet the glyphs to
// the pixel in every font, whatever fractional advances the font has.
class QtCanvas : public Canvas {
 public:
  // Paints on the image (recreated by the owner on resize: call Begin again).
  QtCanvas();
  ~QtCanvas() override;

  void Begin(QPaintDevice* device);
  bool Active() const { return painter_ && painter_->isActive(); }
  // Ends the painting; false when the device reported a failure.
  bool End();
  QPainter* Painter() { return painter_.get(); }

  void SetFont(const Font& font) override;
  void SetQFont(const QFont& font);  // measuring with an interface font
  const Font& GetFont() const override { return font_; }
  void SetFontColor(Color c) override;
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;
  void TextOut(int x, int y, std::string_view text) override;
  // With the font's glyph, or one of a fallback font as Qt finds it.
  void TextOutUtf8(int x, int y, std::string_view utf8) override;
  void SetTransparent(bool transparent) override { transparent_ = transparent; }
  bool Transparent() const override { return transparent_; }
  void SetBrushColor(Color c) override { brush_ = c; }
  Color BrushColor() const override { return brush_; }
  void SetPen(Color c, int width) override;
  Color PenColor() const override { return pen_; }
  int PenWidth() const override { return penWidth_; }
  void FillRect(const Rect& r) override;
  void Polyline(const std::vector<Point>& points) override;
  void SetClip(const Rect& r) override;
  void RemoveClip() override;
  int DpiX() const override;
  int DpiY() const override;

 private:
  void ApplyFont();
  void Measure();
  int CharWidth(uint8_t c);

  std::unique_ptr<QPainter> painter_;
  QPaintDevice* device_ = nullptr;
  Font font_;
  QFont qfont_;
  std::optional<QFontMetrics> metrics_;
  QRawFont rawFont_;               // the font's own glyphs, placed one by one
  std::array<int, 256> widths_{};  // whole-pixel width per character, -1 unknown
  bool transparent_ = true;
  Color brush_ = 0xFFFFFF;
  Color pen_ = 0;
  int penWidth_ = 1;
};

}  // namespace prambus
