#include "text/utf8_chars.h"

namespace prambus {

int Utf8Length(const uint8_t* p, size_t n) {
  if (n == 0) return 0;
  const uint8_t b = p[0];
  if (b < 0x80) return 1;
  int len;
  uint8_t lo = 0x80, hi = 0xBF;  // the range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    if (b == 0xE0) lo = 0xA0;  // no overlong form
    if (b == 0xED) hi = 0x9F;  // no surrogate
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    if (b == 0xF0) lo = 0x90;  // no overlong form
    if (b == 0xF4) hi = 0x8F;  // nothing past U+10FFFF
  } else {
    return 1;  // a continuation byte, C0, C1 or F5..FF
  }
  for (int i = 1; i < len; ++i) {
    if (static_cast<size_t>(i) >= n) return 0;
    const uint8_t c = p[i];
    if (i == 1 ? (c < lo || c > hi) : !IsUtf8Continuation(c)) return 1;
  }
  return len;
}

char32_t DecodeUtf8(const uint8_t* p, int len) {
  switch (len) {
    case 2:
      return (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    case 3:
      return (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    case 4:
      return (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
             (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
    default:
      return p[0];
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    if (c >= 0xD800 && c <= 0xDFFF) return;
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c <= 0x10FFFF) {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The byte before col either ends a sequence begun by the nearest lead byte
// at most three bytes back, or is a character of its own.
int Utf8PreviousStart(const uint8_t* p, int col) {
  const int last = col - 1;
  if (!IsUtf8Continuation(p[last])) return last;
  int lead = last;
  while (lead > 0 && last - lead < 3 && IsUtf8Continuation(p[lead])) --lead;
  if (IsUtf8Continuation(p[lead])) return last;
  const int len = Utf8Length(p + lead, static_cast<size_t>(col - lead));
  return len == col - lead ? lead : last;
}

int Utf8StartOf(const uint8_t* p, int n, int col) {
  if (col <= 0 || col >= n || !IsUtf8Continuation(p[col])) return col;
  int lead = col;
  while (lead > 0 && col - lead < 3 && IsUtf8Continuation(p[lead])) --lead;
  if (IsUtf8Continuation(p[lead])) return col;
  const int len = Utf8LengthAtEnd(p + lead, static_cast<size_t>(n - lead));
  return lead + len > col ? lead : col;
}

int64_t CountUtf8Chars(const uint8_t* p, size_t n) {
  int64_t count = 0;
  for (size_t i = 0; i < n; ++count) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    i += static_cast<size_t>(Utf8LengthAtEnd(p + i, n - i));
  }
  return count;
}

int CharCells(char32_t c) {
  if (c < 0x1100) return 1;
  struct Range {
    char32_t first, last;
  };
  // East Asian wide and fullwidth blocks, and the emoji shown as pictures.
  static constexpr Range kWide[] = {
      {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
      {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
      {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
      {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
      {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
      {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
      {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
      {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
      {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
      {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
      {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
      {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
      {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
      {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251}, {0x1F300, 0x1F64F},
      {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF},
      {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
  };
  size_t lo = 0, hi = sizeof kWide / sizeof kWide[0];
  while (lo < hi) {
    const size_t mid = (lo + hi) / 2;
    if (c < kWide[mid].first)
      hi = mid;
    else if (c > kWide[mid].last)
      lo = mid + 1;
    else
      return 2;
  }
  return 1;
}

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  // Latin-1: À..Þ except ×.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  // Latin Extended-A: pairs, upper case at the even code (odd in 0x139..0x148
  // and 0x179..0x17E), except ı, ĸ, ŉ and ſ.
  if (c >= 0x100 && c <= 0x17F) {
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c & 1 ? c + 1 : c;
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    if (c == 0x178) return 0xFF;
    return c & 1 ? c : c + 1;
  }
  // Greek: Ά, Έ..Ί, Ό, Ύ, Ώ, and Α..Ω without the gap at 0x3A2.
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 63;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c == 0x3C2) return 0x3C3;  // final sigma matches sigma
  // Cyrillic: Ѐ..Џ, А..Я, and the pairs of 0x460..0x4FF.
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF))
    return c & 1 ? c : c + 1;
  if (c >= 0x4C1 && c <= 0x4CE) return c & 1 ? c + 1 : c;
  if (c == 0x4C0) return 0x4CF;
  return c;
}

namespace {
// The folded forms of the two-byte sequences (U+0080..U+07FF), by their
// scalar value less 0x80, as the scalar value of the folded form. FoldCase
// keeps every longer character as it is and two-byte ones two bytes long, so
// folding text needs no decoding past this table.
struct TwoByteFolds {
  char16_t to[0x800 - 0x80];
  TwoByteFolds() {
    for (char32_t c = 0x80; c < 0x800; ++c) {
      const char32_t f = FoldCase(c);
      to[c - 0x80] = static_cast<char16_t>(f >= 0x80 && f < 0x800 ? f : c);
    }
  }
};
const TwoByteFolds& Folds() {
  static const TwoByteFolds folds;
  return folds;
}
}  // namespace

void FoldUtf8InPlace(std::string& text) {
  FoldUtf8(reinterpret_cast<uint8_t*>(text.data()), text.size());
}

// A lead byte C2..DF and any continuation byte make a well-formed sequence,
// and the bytes of longer sequences fold to themselves: one byte at a time.
void FoldUtf8(uint8_t* p, size_t n) {
  const char16_t* to = Folds().to;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = p[i];
    if (b < 0x80) {
      if (b >= 'A' && b <= 'Z') p[i] = static_cast<uint8_t>(b + 32);
    } else if (b >= 0xC2 && b <= 0xDF && i + 1 < n && IsUtf8Continuation(p[i + 1])) {
      const char16_t f = to[((b & 0x1F) << 6 | (p[i + 1] & 0x3F)) - 0x80];
      p[i] = static_cast<uint8_t>(0xC0 | (f >> 6));
      p[++i] = static_cast<uint8_t>(0x80 | (f & 0x3F));
    }
  }
}

bool FoldedEquals(const uint8_t* p, const uint8_t* folded, size_t n) {
  const char16_t* to = Folds().to;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = p[i];
    if (b < 0x80) {
      if ((b >= 'A' && b <= 'Z' ? b + 32 : b) != folded[i]) return false;
    } else if (b >= 0xC2 && b <= 0xDF && i + 1 < n && IsUtf8Continuation(p[i + 1])) {
      const char16_t f = to[((b & 0x1F) << 6 | (p[i + 1] & 0x3F)) - 0x80];
      if (folded[i] != (0xC0 | (f >> 6)) || folded[i + 1] != (0x80 | (f & 0x3F))) return false;
      ++i;
    } else if (b != folded[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace prambus
