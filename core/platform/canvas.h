// The drawing surface every view paints on. The same view code draws on the
// screen surface, on a printer page and on the test canvas, so views never
// measure or draw except through this interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

// A platform colour value 0x00BBGGRR (red in the low byte), or a system colour.
using Color = uint32_t;

enum FontStyleBits : uint8_t {
  kStyleBold = 1,
  kStyleItalic = 2,
  kStyleUnderline = 4,
  kStyleStrikeOut = 8,
};

struct Font {
  std::string name = "Lucida Console";  // UTF-8
  int height = -16;                     // negative: character height in pixels
  Color color = 0;
  uint8_t style = 0;  // FontStyleBits
  bool operator==(const Font&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Rect&) const = default;
};

// Text passed to a canvas is 8-bit Windows-1251 unless a call says UTF-8.
class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetFont(const Font& font) = 0;
  virtual const Font& GetFont() const = 0;
  virtual void SetFontColor(Color c) = 0;
  Color FontColor() const { return GetFont().color; }

  // Width of a single-line text rectangle, no prefix processing.
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;
  // Draws at (x, y) = top-left of the text cell. In opaque mode the text
  // cell is first filled with the brush colour.
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  // Draws UTF-8 characters from (x, y) as TextOut does, each in CharCells
  // cells as wide as 'a'; a Windows-1251-only canvas draws 8-bit forms.
  virtual void TextOutUtf8(int x, int y, std::string_view utf8);

  virtual void SetTransparent(bool transparent) = 0;
  virtual bool Transparent() const = 0;
  virtual void SetBrushColor(Color c) = 0;
  virtual Color BrushColor() const = 0;
  virtual void SetPen(Color c, int width) = 0;
  virtual Color PenColor() const = 0;
  virtual int PenWidth() const = 0;

  virtual void FillRect(const Rect& r) = 0;
  virtual void Polyline(const std::vector<Point>& points) = 0;
  virtual void SetClip(const Rect& r) = 0;
  virtual void RemoveClip() = 0;

  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;
};

}  // namespace prambus
