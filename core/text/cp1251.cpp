#include "text/cp1251.h"

#include <array>

namespace prambus {
namespace {

constexpr char16_t kHigh[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  //
};

// Reverse lookup for U+0080..U+04FF and the punctuation block U+2000..U+21FF.
struct Reverse {
  std::array<uint8_t, 0x500> low{};
  std::array<uint8_t, 0x200> punct{};
  Reverse() {
    for (int i = 0; i < 128; ++i) {
      char32_t cp = kHigh[i];
      if (cp < 0x500)
        low[cp] = static_cast<uint8_t>(0x80 + i);
      else if (cp >= 0x2000 && cp < 0x2200)
        punct[cp - 0x2000] = static_cast<uint8_t>(0x80 + i);
    }
  }
};

const Reverse& Rev() {
  static const Reverse r;
  return r;
}

struct UpperTable {
  std::array<uint8_t, 256> t{};
  UpperTable() {
    for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>(i);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<uint8_t>(c - 32);
    for (int c = 0xE0; c <= 0xFF; ++c) t[c] = static_cast<uint8_t>(c - 32);
    const uint8_t pairs[][2] = {{0xB8, 0xA8}, {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A},
                                {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F},
                                {0xA2, 0xA1}, {0xBC, 0xA3}, {0xB4, 0xA5}, {0xBA, 0xAA},
                                {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD}};
    for (auto& p : pairs) t[p[0]] = p[1];
  }
};

const UpperTable& Upper() {
  static const UpperTable u;
  return u;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

char32_t Cp1251ToUnicode(uint8_t byte) {
  return byte < 0x80 ? byte : static_cast<char32_t>(kHigh[byte - 0x80]);
}

uint8_t UnicodeToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<uint8_t>(cp);
  uint8_t b = 0;
  if (cp < 0x500)
    b = Rev().low[cp];
  else if (cp >= 0x2000 && cp < 0x2200)
    b = Rev().punct[cp - 0x2000];
  return b ? b : static_cast<uint8_t>('?');
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) AppendUtf8(out, Cp1251ToUnicode(c));
  return out;
}

std::string Utf8ToCp1251(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    int extra;
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      extra = 3;
    } else {
      out += '?';
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= s.size() || (static_cast<unsigned char>(s[j]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(s[j]) & 0x3F);
    }
    if (!ok) {
      out += '?';
      i = j > i + 1 ? j : i + 1;
      continue;
    }
    out += static_cast<char>(UnicodeToCp1251(cp));
    i = j;
  }
  return out;
}

uint8_t UpperCp1251(uint8_t byte) {
  return Upper().t[byte];
}
const uint8_t* UpperTable1251() {
  return Upper().t.data();
}

void UpperInPlace(std::string& s) {
  const uint8_t* t = UpperTable1251();
  for (char& c : s) c = static_cast<char>(t[static_cast<unsigned char>(c)]);
}

}  // namespace prambus
