#include "views/hex_codes.h"

namespace prambus {

int DigitCount(uint64_t v, int base) {
  base = ValidBase(base);
  int n = 1;
  while (v >= static_cast<uint64_t>(base)) {
    v /= static_cast<uint64_t>(base);
    ++n;
  }
  return n;
}

char DigitChar(int v) {
  return static_cast<char>(v < 10 ? '0' + v : 'A' + (v - 10));
}

uint8_t DigitValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 255;
}

std::string DigitsOf(uint64_t v, int base, int width) {
  base = ValidBase(base);
  std::string s;
  do {
    s.insert(s.begin(), DigitChar(static_cast<int>(v % static_cast<uint64_t>(base))));
    v /= static_cast<uint64_t>(base);
  } while (v);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

int64_t ReadDigits(std::string_view digits, int base) {
  int64_t v = 0;
  for (char c : digits) {
    const uint8_t d = DigitValue(static_cast<uint8_t>(c));
    if (d >= base) return -1;
    v = v * base + d;
    if (v > 0xFFFFFFFFll) return -1;
  }
  return v;
}

std::string ParseCodeText(std::string_view text, int base) {
  const int k255 = DigitCount(255, base);
  std::string out;
  size_t i = 0;
  auto blank = [](char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; };
  while (i < text.size()) {
    while (i < text.size() && blank(text[i])) ++i;
    if (i >= text.size()) break;
    int value = 0, digits = 0;
    while (i < text.size() && !blank(text[i]) && digits < k255) {
      char c = text[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      const uint8_t d = DigitValue(static_cast<uint8_t>(c));
      if (d >= base) return {};
      value = value * base + d;
      ++digits;
      ++i;
    }
    if (value > 255) return {};
    out += static_cast<char>(value);
  }
  return out;
}

bool HasNoGlyph(uint8_t c) {
  return c < 0x20 || c == 0x7F || c == 0x98 || c == 0xAD;
}

}  // namespace prambus
