#include "bench_canvas.h"

namespace prambus::bench {

BenchCanvas::BenchCanvas(bool proportional) {
  for (int c = 0; c < 256; ++c) widths_[c] = 9;
  if (!proportional) return;
  // Widths of a 16-pixel proportional face: narrow punctuation, wide capitals.
  for (const char* p = ".,:;!'|il"; *p; ++p) widths_[static_cast<unsigned char>(*p)] = 4;
  for (int c = 'A'; c <= 'Z'; ++c) widths_[c] = 11;
  for (int c = 'a'; c <= 'z'; ++c) widths_[c] = 8;
  widths_['m'] = widths_['w'] = 12;
  widths_[' '] = 5;
  for (int c = 0xC0; c < 0xE0; ++c) widths_[c] = 11;
  for (int c = 0xE0; c < 0x100; ++c) widths_[c] = 9;
  widths_[0xE6] = widths_[0xF8] = widths_[0xF9] = 13;
}

int BenchCanvas::TextWidth(std::string_view text) {
  int w = 0;
  for (unsigned char c : text) w += widths_[c];
  return w;
}

}  // namespace prambus::bench
