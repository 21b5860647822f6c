// The layout of the program's message box: button rows, the text rectangle
// grown to about 3.5 times as wide as high, line breaking at word bounds,
// rows of buttons spread over the width, and the window centred on its
// anchor point and kept on the screen. Measures through a Canvas set to the
// message font; texts are Windows-1251.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "settings/settings.h"

namespace prambus {

struct MessageLine {
  std::string text;  // without the line break
  int width = 0;
};

struct MessageLayout {
  int clientWidth = 0;
  int clientHeight = 0;
  Rect textRect;                   // in client pixels
  std::vector<Rect> buttons;       // in client pixels, in button order
  std::vector<MessageLine> lines;  // the text as drawn, top to bottom
  int lineHeight = 0;              // pixels from one line to the next (text height + 1)
  int textLeft = 0;                // x of every line (the block is centred)
  int left = 0, top = 0;           // window position on the screen
};

// The longest line starting at `start` that fits `width` pixels; returns the
// end of the line (exclusive).
size_t BreakLine(Canvas& canvas, const std::string& text, size_t start, int width);
// Skips the one blank character that ends a line (a CR LF or LF CR pair
// counts as one); pos when the character there is no blank.
size_t SkipBreak(const std::string& text, size_t pos);

// frameWidth/frameHeight: what the window frame adds around the client area.
MessageLayout LayOutMessage(Canvas& canvas, const Settings& s, const std::string& text,
                            const std::vector<std::string>& buttonCaptions, int screenWidth,
                            int screenHeight, Point anchor, int frameWidth = 0,
                            int frameHeight = 0);

}  // namespace prambus
