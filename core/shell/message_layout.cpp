#include "shell/message_layout.h"

#include <algorithm>
#include <cmath>

namespace prambus {
namespace {

bool IsBlank(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}
bool IsBreak(char c) {
  return c == '\n' || c == '\r';
}
bool IsOpening(char c) {
  return c == '(' || c == '[' || c == '{';
}
bool IsClosing(char c) {
  switch (c) {
    case '!':
    case ')':
    case ',':
    case '-':
    case '.':
    case ':':
    case ';':
    case '?':
    case ']':
    case '}':
      return true;
    default:
      return false;
  }
}
bool IsWordChar(char c) {
  return !IsBlank(c) && !IsOpening(c) && !IsClosing(c);
}

int Width(Canvas& canvas, const std::string& text, size_t from, size_t to) {
  return to > from ? canvas.TextWidth(std::string_view(text).substr(from, to - from)) : 0;
}

int HardLines(const std::string& text) {
  int lines = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsBreak(text[i])) continue;
    ++lines;
    if (i + 1 < text.size() && IsBreak(text[i + 1]) && text[i] != text[i + 1]) ++i;
  }
  return lines;
}

}  // namespace

size_t SkipBreak(const std::string& text, size_t pos) {
  if (pos >= text.size() || !IsBlank(text[pos])) return pos;
  if (IsBreak(text[pos]) && pos + 1 < text.size() && IsBreak(text[pos + 1]) &&
      text[pos] != text[pos + 1])
    return pos + 2;
  return pos + 1;
}

size_t BreakLine(Canvas& canvas, const std::string& text, size_t start, int width) {
  const size_t n = text.size();
  size_t end = start;  // the line is text[start, end)
  size_t pos = start;
  while (pos < n) {
    size_t wordEnd = pos;
    while (wordEnd < n && IsWordChar(text[wordEnd])) ++wordEnd;
    while (wordEnd < n && IsClosing(text[wordEnd])) ++wordEnd;
    if (wordEnd > pos) {
      if (Width(canvas, text, start, wordEnd) > width) {
        if (Width(canvas, text, start, end) < static_cast<int>(std::lrint(width / 2.0))) {
          // Break the word: characters while the line stays narrower than the width.
          while (end < wordEnd && Width(canvas, text, start, end + 1) < width) ++end;
          return end;
        }
        // End before the word, and before a blank or opening bracket in front of it.
        if (end > start && pos > start && (IsBlank(text[pos - 1]) || IsOpening(text[pos - 1])) &&
            end == pos)
          --end;
        return end;
      }
      end = pos = wordEnd;
    }
    if (pos >= n) return end;
    const char c = text[pos];
    if (IsBreak(c)) return end;
    if (c == '\t' || c == ' ' || IsOpening(c)) {
      if (Width(canvas, text, start, pos + 1) < width) {
        end = pos = pos + 1;
        continue;
      }
      return end;
    }
    // Any other character starts the next word at once.
  }
  return end;
}

MessageLayout LayOutMessage(Canvas& canvas, const Settings& s, const std::string& text,
                            const std::vector<std::string>& captions, int screenW, int screenH,
                            Point anchor, int frameWidth, int frameHeight) {
  MessageLayout out;
  const int mt = s.MarginforText;
  // Buttons: sizes and rows.
  std::vector<Rect> buttons;
  int x = s.MarginforButton, n = 0, rowTop = 0, widest = 0, lastHeight = 0;
  for (size_t i = 0; i < captions.size(); ++i) {
    const int w = canvas.TextWidth(captions[i]) + 2 * s.HButtonMargin;
    const int h = canvas.TextHeight(captions[i].empty() ? " " : captions[i]) + 2 * s.VButtonMargin;
    if (n < s.MaxButtonsinRow) {
      int next = i == 0 ? x + w : x + s.HSpaceBetween + w;
      if (next + s.MarginforButton + 10 >= screenW) {
        widest = std::max(widest, x + s.MarginforButton);
        next = s.MarginforButton + w;
        rowTop += h + s.VSpaceBetween;
        n = 0;
      }
      x = next;
      ++n;
    } else {
      widest = std::max(widest, x + s.MarginforButton);
      x = s.MarginforButton + w;
      n = 1;
      rowTop += h + s.VSpaceBetween;
    }
    buttons.push_back({x - w, rowTop, x, rowTop + h});
    lastHeight = h;
  }
  widest = std::max(widest, x + s.MarginforButton);

  // The text rectangle, grown until the text fits.
  const int lh = canvas.TextHeight("Ay");
  Rect r{0, 0, widest - 2 * mt, 10};
  if (r.right < 0) r.right = 10;
  const int limW = screenW - 2 * mt + 1;
  const int limH = screenH - 3 * mt - rowTop - lastHeight + 1;
  const int minimum = 1 + (lh + 1) * HardLines(text);
  if (minimum >= r.bottom - r.top) r.bottom = r.top + minimum + 1;
  r.right = std::min(r.right, r.left + std::max(0, limW - 1));
  r.bottom = std::min(r.bottom, r.top + std::max(0, limH - 1));

  for (int guard = 0; guard < 100000; ++guard) {
    bool widen = false;
    size_t start = 0;
    int y = r.top + 1;
    while (start < text.size()) {
      const size_t end = BreakLine(canvas, text, start, r.right - r.left - 3);
      const bool blankLine = end == start && IsBreak(text[start]);
      if ((end > start || blankLine) && y + lh + 1 < r.bottom) {
        y += lh + 1;
        start = SkipBreak(text, end);
        continue;
      }
      if (text.size() - start <= 1) break;
      if (y + lh - r.top + 1 >= limH) {
        widen = true;
        break;
      }
      if (static_cast<double>(r.right - r.left) / (y + lh - r.top + 1) > 3.5 ||
          r.right - r.left >= limW - 1) {
        r.bottom = y + lh + 2;
        y += lh + 1;
        start = end > start || blankLine ? SkipBreak(text, end) : start;
        if (end == start && !blankLine && r.right - r.left >= limW - 1)
          break;  // nothing fits at all
        continue;
      }
      widen = true;
      break;
    }
    if (!widen || r.right - r.left >= limW - 1) break;
    r.right = std::min(r.right + 10, r.left + limW - 1);
  }

  out.clientWidth = (r.right - r.left) + 2 * mt;
  r.left += mt, r.right += mt, r.top += mt, r.bottom += mt;
  out.textRect = r;
  for (Rect& b : buttons) b.top += r.bottom + mt, b.bottom += r.bottom + mt;
  // Spread each row of buttons over the client width.
  for (size_t i = 0; i < buttons.size();) {
    size_t j = i;
    int sum = 0;
    while (j < buttons.size() && buttons[j].top == buttons[i].top)
      sum += buttons[j].right - buttons[j].left, ++j;
    const int k = static_cast<int>(j - i);
    const int base = s.MarginforButton - s.HSpaceBetween;
    const int free = out.clientWidth - 2 * base - sum;
    int bx = base;
    for (int l = 0; l < k; ++l) {
      Rect& b = buttons[i + l];
      const int w = b.right - b.left;
      bx += free * (l + 1) / (k + 1) - free * l / (k + 1);
      b.left = bx;
      b.right = bx + w;
      bx += w;
    }
    i = j;
  }
  out.buttons = buttons;
  out.clientHeight = buttons.empty() ? r.bottom + mt : buttons.back().bottom + mt;

  // The lines as drawn, centred as a block.
  out.lineHeight = lh + 1;
  size_t start = 0;
  int y = r.top + 1, widestLine = 0;
  while (start < text.size() && y + lh <= r.bottom) {
    size_t end = BreakLine(canvas, text, start, r.right - r.left - 3);
    if (end == start && !IsBreak(text[start])) end = start + 1;  // always move on
    MessageLine line{text.substr(start, end - start), Width(canvas, text, start, end)};
    widestLine = std::max(widestLine, line.width);
    out.lines.push_back(std::move(line));
    y += lh + 1;
    start = SkipBreak(text, end);
  }
  out.textLeft = r.left + 1 + ((r.right - r.left) - widestLine) / 2;

  // Centre on the anchor point, then keep the window on the screen.
  const int w = out.clientWidth + frameWidth, h = out.clientHeight + frameHeight;
  int left = anchor.x - w / 2, top = anchor.y - h / 2;
  if (left + w > screenW) left = screenW - w;
  if (left < 0) left = 0;
  if (top + h > screenH) top = screenH - h;
  if (top < 0) top = 0;
  out.left = left;
  out.top = top;
  return out;
}

}  // namespace prambus
