#include "text/utf8_byte_frequency.h"

namespace prambus {

namespace {
// Letters in tenths of a percent of the letters of common text.
constexpr int kLatin[26] = {
    82, 15, 28, 43, 127, 22, 20, 61, 70, 2,  8, 40, 24,  // a..m
    67, 75, 19, 1,  60,  63, 91, 28, 10, 24, 2, 20, 1,   // n..z
};
// а..п (continuation bytes B0..BF after D0).
constexpr int kCyrillicA[16] = {80, 16, 45, 17, 30, 85, 9, 17, 74, 12, 35, 44, 32, 67, 110, 28};
// р..я (continuation bytes 80..8F after D1).
constexpr int kCyrillicR[16] = {47, 55, 63, 26, 3, 10, 5, 15, 7, 4, 1, 19, 17, 3, 6, 20};
}  // namespace

int Utf8ByteFrequency(uint8_t b) {
  if (b == ' ') return 180;
  if (b == 0xD0 || b == 0xD1) return 400;
  if (b >= 0xC2 && b <= 0xF4) return 60;  // other lead bytes
  if (b >= 'a' && b <= 'z') return kLatin[b - 'a'];
  if (b >= 'A' && b <= 'Z') return kLatin[b - 'A'] / 8 + 1;
  if (b >= 0xB0 && b <= 0xBF) return kCyrillicA[b - 0xB0];
  if (b >= 0x80 && b <= 0x8F) return kCyrillicR[b - 0x80];
  if (b >= 0x90 && b <= 0xAF) return 4;  // capitals А..Я, and ё
  if (b >= '0' && b <= '9') return 5;
  if (b == '\r' || b == '\n' || b == ',' || b == '.') return 15;
  if (b < 0x80) return 3;
  return 0;  // C0, C1, F5..FF: never in well-formed text
}

}  // namespace prambus
