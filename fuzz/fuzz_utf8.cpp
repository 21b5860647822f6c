// UTF-8 both ways, and UTF-16 out, against a plain character-by-character reference. The first
// byte picks raw input or a text built mostly of ASCII and Russian letters,
// the mix the sixteen-byte path takes.
#include <cstdlib>
#include <string>

#include "encodings/conversions.h"
#include "text/cp1251.h"

namespace {

std::string ReferenceEncode(const std::string& ansi) {
  std::string out;
  for (unsigned char c : ansi) {
    const char32_t cp = prambus::Cp1251ToUnicode(c);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string ReferenceDecode(const std::string& s) {
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    const int extra = c >= 0xC0 && c < 0xE0   ? 1
                      : c >= 0xE0 && c < 0xF0 ? 2
                      : c >= 0xF0 && c < 0xF8 ? 3
                                              : 0;
    char32_t cp = c & (0x3F >> extra);
    size_t j = i + 1;
    bool whole = extra > 0;
    for (int k = 0; whole && k < extra; ++k, ++j) {
      if (j >= s.size() || (static_cast<unsigned char>(s[j]) & 0xC0) != 0x80)
        whole = false;
      else
        cp = cp << 6 | (static_cast<unsigned char>(s[j]) & 0x3F);
    }
    if (!whole) {
      out += '?';
      ++i;
      continue;
    }
    const char32_t least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      out += '?';
    else if (cp >= 0x10000)
      out += "??";
    else
      out += static_cast<char>(prambus::UnicodeToCp1251(cp));
    i = j;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string raw(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string ansi = raw;
  if (data[0] & 1) {
    // Mostly letters: 0x80..0xBF stand for ASCII, with a few kept as they are.
    for (char& c : ansi)
      if ((c & 0xC0) == 0x80 && (c & 0x0F) != 0) c = static_cast<char>((c & 0x3F) | 0x20);
  }
  if (prambus::ansiToUtf8(ansi) != ReferenceEncode(ansi)) std::abort();
  std::string utf16;
  for (unsigned char c : ansi) {
    const char32_t cp = prambus::Cp1251ToUnicode(c);
    utf16 += static_cast<char>(cp & 0xFF);
    utf16 += static_cast<char>(cp >> 8);
  }
  if (prambus::ansiToUtf16(ansi) != utf16) std::abort();
  const std::string utf8 = data[0] & 2 ? ReferenceEncode(ansi) : raw;
  std::string text = utf8;
  if (data[0] & 4 && !text.empty()) text[data[0] % text.size()] ^= 0x40;  // one damaged byte
  if (prambus::utf8ToAnsi(text) != ReferenceDecode(text)) std::abort();
  return 0;
}
