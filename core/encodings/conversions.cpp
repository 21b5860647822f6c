#include "encodings/conversions.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "encodings/utf_wide.h"
#include "text/cp1251.h"

namespace prambus {

ConversionState& Conversions() {
  static ConversionState state;
  return state;
}

uint8_t hexDigitValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 255;
}

uint8_t hexDigitChar(uint8_t v) {
  return v < 10 ? '0' + v : 'A' + (v - 10);
}

// ----------------------------------------------------- Quoted-Printable ----

std::string decodeQuotedPrintable(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    const uint8_t c = static_cast<uint8_t>(s[i]);
    if (c != '=') {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (n - i >= 3) {  // at least two bytes follow
      const uint8_t a = static_cast<uint8_t>(s[i + 1]), b = static_cast<uint8_t>(s[i + 2]);
      if (a == '\r' && b == '\n') {
        i += 3;  // soft line break
        continue;
      }
      const uint8_t hi = hexDigitValue(a), lo = hexDigitValue(b);
      if (hi != 255 && lo != 255) {
        out += static_cast<char>(hi * 16 + lo);
        i += 3;
        continue;
      }
    }
    out += '=';
    ++i;
  }
  return out;
}

namespace {

// The encoder proper, over any output: the text it writes, or only a count.
template <class Sink>
void EncodeQpInto(std::string_view s, int& column, Sink& out) {
  const size_t n = s.size();
  auto escape = [&](uint8_t c) {
    const char e[3] = {'=', static_cast<char>(hexDigitChar(c >> 4)),
                       static_cast<char>(hexDigitChar(c & 15))};
    out.Put(e, 3);
    column += 3;
  };
  for (size_t i = 0; i < n; ++i) {
    const uint8_t c = static_cast<uint8_t>(s[i]);
    if (c == 9 || c == 32) {
      if (n - i >= 3 && s[i + 1] == '\r' && s[i + 2] == '\n') {
        escape(c);
      } else {
        out.Put(c);
        column += 1;
      }
    } else if (c == 13) {
      if (i + 1 < n && s[i + 1] == '\n') {
        out.Put("\r\n", 2);
        column = 0;
        ++i;
      } else {
        escape(c);
      }
    } else if ((c >= 33 && c <= 60) || (c >= 62 && c <= 126)) {
      out.Put(c);
      column += 1;
    } else {
      escape(c);
    }
    if (column >= 71) {
      out.Put("=\r\n", 3);
      column = 0;
    }
  }
}

struct StringSink {
  std::string& s;
  void Put(uint8_t c) { s += static_cast<char>(c); }
  void Put(const char* p, size_t n) { s.append(p, n); }
};

struct CountSink {
  size_t n = 0;
  void Put(uint8_t) { ++n; }
  void Put(const char*, size_t k) { n += k; }
};

}  // namespace

std::string encodeQuotedPrintable(std::string_view s, bool resetColumn) {
  int& column = Conversions().qpColumn;
  if (resetColumn) column = 0;
  std::string out;
  out.reserve(s.size() * 4);
  StringSink sink{out};
  EncodeQpInto(s, column, sink);
  return out;
}

size_t encodedQuotedPrintableLength(std::string_view s) {
  int column = 0;
  CountSink sink;
  EncodeQpInto(s, column, sink);
  return sink.n;
}

// -------------------------------------------------------- transliteration ----

namespace {
constexpr uint8_t kUpperA = 0xC0;  // А; lower-case letters are 0x20 above

uint8_t Cyr(char upperLatinName, bool lower) {
  // Single-letter map to the upper-case Cyrillic letter.
  uint8_t u = 0;
  switch (upperLatinName) {
    case 'A':
      u = 0xC0;
      break;
    case 'B':
      u = 0xC1;
      break;
    case 'D':
      u = 0xC4;
      break;
    case 'E':
      u = 0xC5;
      break;
    case 'F':
      u = 0xD4;
      break;
    case 'G':
      u = 0xC3;
      break;
    case 'H':
      u = 0xD5;
      break;
    case 'I':
      u = 0xC8;
      break;
    case 'K':
      u = 0xCA;
      break;
    case 'L':
      u = 0xCB;
      break;
    case 'M':
      u = 0xCC;
      break;
    case 'N':
      u = 0xCD;
      break;
    case 'O':
      u = 0xCE;
      break;
    case 'P':
      u = 0xCF;
      break;
    case 'Q':
      u = 0xCA;
      break;
    case 'R':
      u = 0xD0;
      break;
    case 'U':
      u = 0xD3;
      break;
    case 'V':
      u = 0xC2;
      break;
    case 'W':
      u = 0xD3;
      break;
    default:
      break;
  }
  return lower ? static_cast<uint8_t>(u + 0x20) : u;
}

uint8_t LowerCyr(uint8_t upper) {
  return upper == 0xA8 ? 0xB8 : static_cast<uint8_t>(upper + 0x20);
}

bool IsConsonant(uint8_t c) {
  static const uint8_t kUpper[] = {0xC1, 0xC2, 0xC3, 0xC4, 0xC6, 0xC7, 0xCA, 0xCB, 0xCC, 0xCD,
                                   0xCF, 0xD0, 0xD1, 0xD2, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9};
  for (uint8_t u : kUpper)
    if (c == u || c == u + 0x20) return true;
  return false;
}
}  // namespace

std::string translitToCyrillic(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  const size_t n = s.size();
  auto at = [&](size_t i) -> uint8_t { return i < n ? static_cast<uint8_t>(s[i]) : 0; };
  auto is = [](uint8_t c, char letter) { return c == letter || c == letter + 32; };
  for (size_t i = 0; i < n; ++i) {
    const uint8_t c = at(i);
    const bool upperL = c >= 'A' && c <= 'Z';
    const bool lowerL = c >= 'a' && c <= 'z';
    if (!upperL && !lowerL) {
      out += static_cast<char>(c);
      continue;
    }
    const bool low = lowerL;
    const char L = static_cast<char>(upperL ? c : c - 32);
    auto put = [&](uint8_t upperCyr) {
      out += static_cast<char>(low ? LowerCyr(upperCyr) : upperCyr);
    };
    const uint8_t next = at(i + 1);
    const bool hasNext = i + 1 < n;
    switch (L) {
      case 'C':
        if (hasNext && (is(next, 'Z') || is(next, 'H'))) {
          put(0xD7);  // Ч
          ++i;
        } else {
          put(0xD6);  // Ц
        }
        break;
      case 'J':
      case 'Y': {
        uint8_t v = 0;
        if (hasNext && is(next, 'A'))
          v = 0xDF;  // Я
        else if (hasNext && is(next, 'E'))
          v = 0xC5;  // Е
        else if (hasNext && is(next, 'O'))
          v = 0xA8;  // Ё
        else if (hasNext && is(next, 'U'))
          v = 0xDE;  // Ю
        if (v) {
          put(v);
          ++i;
        } else {
          put(L == 'J' ? 0xC9 : 0xDB);  // Й or Ы
        }
        break;
      }
      case 'S':
        if (hasNext && is(next, 'H')) {
          put(0xD8);  // Ш
          ++i;
        } else if (i + 2 < n && is(next, 'C') && is(at(i + 2), 'H')) {
          put(0xD9);  // Щ
          i += 2;
        } else {
          put(0xD1);  // С
        }
        break;
      case 'T':
        if (hasNext && is(next, 'H')) {
          put(0xC7);  // З
          ++i;
        } else {
          put(0xD2);  // Т
        }
        break;
      case 'Z':
        if (hasNext && is(next, 'H')) {
          put(0xC6);  // Ж
          ++i;
        } else {
          put(0xC7);  // З
        }
        break;
      case 'X':
        put(0xCA);                       // К
        out += static_cast<char>(0xF1);  // с
        break;
      default:
        put(Cyr(L, false));
        break;
    }
  }
  return out;
}

std::string cyrillicToTranslit(std::string_view s) {
  static const char* const kUpperNames[32] = {
      "A", "B", "V", "G", "D", "E", "Zh", "Z",  "I",  "J",   "K", "L", "M", "N", "O",     "P",
      "R", "S", "T", "U", "F", "H", "C",  "Ch", "Sh", "Sch", "'", "Y", "'", "E", nullptr, nullptr};
  static const char* const kLowerNames[32] = {
      "a", "b", "v", "g", "d", "e", "zh", "z",  "i",  "j",   "k", "l", "m", "n", "o",     "p",
      "r", "s", "t", "u", "f", "h", "c",  "ch", "sh", "sch", "'", "y", "'", "e", nullptr, nullptr};
  std::string out;
  out.reserve(s.size() * 3);
  uint8_t before = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const uint8_t c = static_cast<uint8_t>(s[i]);
    const bool consonantBefore = i > 0 && IsConsonant(before);
    before = c;
    auto iotated = [&](bool upper, char vowel) {
      out += upper ? (consonantBefore ? 'Y' : 'J') : (consonantBefore ? 'y' : 'j');
      out += vowel;
    };
    if (c >= 0xC0) {
      const bool upper = c < 0xE0;
      const int idx = upper ? c - kUpperA : c - kUpperA - 0x20;
      if (idx == 30)
        iotated(upper, 'u');
      else if (idx == 31)
        iotated(upper, 'a');
      else
        out += (upper ? kUpperNames : kLowerNames)[idx];
      continue;
    }
    switch (c) {
      case 0xA8:
        iotated(true, 'o');
        break;  // Ё
      case 0xB8:
        iotated(false, 'o');
        break;  // ё
      case 0xA1:
        out += 'U';
        break;  // Ў
      case 0xA2:
        out += 'u';
        break;  // ў
      case 0xB2:
      case 0xB3:
      case 0xAF:
      case 0xBF:
        out += 'i';
        break;  // І і Ї ї
      default:
        out += static_cast<char>(c);
        break;
    }
  }
  return out;
}

size_t cyrillicToTranslitLength(std::string_view s) {
  // Each character's spelling has a fixed length; only the letter of an
  // iotated vowel's prefix depends on what comes before.
  static const auto lengths = [] {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c)
      t[c] = static_cast<uint8_t>(cyrillicToTranslit(std::string(1, static_cast<char>(c))).size());
    return t;
  }();
  size_t n = 0;
  for (char c : s) n += lengths[static_cast<uint8_t>(c)];
  return n;
}

// ------------------------------------------------------------ UTF-16/8 ----
//
// Table-driven: every Windows-1251 byte has its UTF-16 unit and its UTF-8
// bytes precomputed, and runs of ASCII are copied eight bytes at a time.

namespace {

struct UtfTables {
  uint16_t unit[256];
  uint32_t utf8[256];  // the UTF-8 bytes, first byte lowest
  uint8_t utf8Len[256];
  uint8_t fromBmp[0x10000];  // unit -> Windows-1251 byte ('?' when none)
  UtfTables() {
    for (int b = 0; b < 256; ++b) {
      const char32_t cp = Cp1251ToUnicode(static_cast<uint8_t>(b));
      unit[b] = static_cast<uint16_t>(cp);
      if (cp < 0x80) {
        utf8[b] = cp;
        utf8Len[b] = 1;
      } else if (cp < 0x800) {
        utf8[b] = (0xC0 | (cp >> 6)) | ((0x80 | (cp & 0x3F)) << 8);
        utf8Len[b] = 2;
      } else {
        utf8[b] =
            (0xE0 | (cp >> 12)) | ((0x80 | ((cp >> 6) & 0x3F)) << 8) | ((0x80 | (cp & 0x3F)) << 16);
        utf8Len[b] = 3;
      }
    }
    for (uint32_t u = 0; u < 0x10000; ++u)
      fromBmp[u] = u >= 0xD800 && u <= 0xDFFF ? '?' : UnicodeToCp1251(static_cast<char32_t>(u));
  }
};

const UtfTables& Utf() {
  static const UtfTables t;
  return t;
}

bool AllAscii8(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return (w & 0x8080808080808080ull) == 0;
}

using WideStep = size_t (*)(const char*, size_t, char*, size_t*);

// What the fast paths can take at `i`: sixteen-byte blocks (unless the wide
// step stopped within the last sixteen bytes, which then go character by
// character), else eight ASCII bytes. False when one character is left to
// the caller.
bool FastStep(std::string_view s, WideStep wide, size_t& i, char*& o, size_t& wideFrom) {
  if (i >= wideFrom) {
    size_t written = 0;
    i += wide(s.data() + i, s.size() - i, o, &written);
    o += written;
    wideFrom = i + 16;
    return true;
  }
  if (i + 8 <= s.size() && AllAscii8(s.data() + i)) {
    std::memcpy(o, s.data() + i, 8);
    o += 8;
    i += 8;
    return true;
  }
  return false;
}

}  // namespace

std::string ansiToUtf16(std::string_view s) {
  const UtfTables& t = Utf();
  std::string out(s.size() * 2, '\0');
  size_t i = 0;
  while (i < s.size()) {
    i += AnsiToUtf16Wide(s.data() + i, s.size() - i, out.data() + 2 * i);
    // What stopped the wide step goes byte by byte.
    for (const size_t stop = std::min(s.size(), i + 16); i < stop; ++i) {
      const uint16_t u = t.unit[static_cast<uint8_t>(s[i])];
      out[2 * i] = static_cast<char>(u & 0xFF);
      out[2 * i + 1] = static_cast<char>(u >> 8);
    }
  }
  return out;
}

std::string utf16ToAnsi(std::string_view s, bool firstChunk) {
  std::string& carry = Conversions().utf16Carry;
  std::string in;
  if (!firstChunk && !carry.empty()) {
    in.reserve(carry.size() + s.size());
    in = carry;
    in.append(s);
    s = in;
  }
  size_t n = s.size();
  std::string nextCarry;
  if (n % 2) {
    nextCarry.assign(1, s[n - 1]);
    --n;
  }
  const UtfTables& t = Utf();
  std::string out(n / 2, '\0');
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
  for (size_t i = 0, k = 0; i + 1 < n; i += 2, ++k)
    out[k] = static_cast<char>(t.fromBmp[p[i] | (p[i + 1] << 8)]);
  carry = std::move(nextCarry);
  return out;
}

std::string utf8ToAnsi(std::string_view s) {
  const UtfTables& t = Utf();
  std::string out(s.size() + 16, '\0');  // room for the wide step's stores
  char* o = out.data();
  size_t i = 0;
  const size_t n = s.size();
  size_t wideFrom = 0;
  while (i < n) {
    if (FastStep(s, Utf8ToAnsiWide, i, o, wideFrom)) continue;
    const uint8_t c = static_cast<uint8_t>(s[i]);
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      ++i;
      continue;
    }
    // Two-byte sequences (all of Cyrillic) straight through the table.
    if ((c & 0xE0) == 0xC0 && i + 1 < n && (static_cast<uint8_t>(s[i + 1]) & 0xC0) == 0x80 &&
        c >= 0xC2) {
      *o++ =
          static_cast<char>(t.fromBmp[((c & 0x1F) << 6) | (static_cast<uint8_t>(s[i + 1]) & 0x3F)]);
      i += 2;
      continue;
    }
    int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    char32_t cp = extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    size_t j = i + 1;
    bool ok = extra > 0;
    for (int k = 0; ok && k < extra; ++k, ++j) {
      if (j >= n || (static_cast<uint8_t>(s[j]) & 0xC0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (static_cast<uint8_t>(s[j]) & 0x3F);
    }
    const bool overlong = ok && ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
                                 (extra == 3 && cp < 0x10000));
    if (!ok || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      *o++ = '?';  // an invalid sequence becomes one replacement character
      i = ok ? j : i + 1;
      continue;
    }
    if (cp >= 0x10000) {  // two UTF-16 units, neither in the code page
      *o++ = '?';
      *o++ = '?';
    } else {
      *o++ = static_cast<char>(t.fromBmp[cp]);
    }
    i = j;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

std::string ansiToUtf8(std::string_view s) {
  const UtfTables& t = Utf();
  std::string out(s.size() * 3 + 16, '\0');  // room for the wide step's stores
  char* o = out.data();
  size_t i = 0;
  const size_t n = s.size();
  size_t wideFrom = 0;
  while (i < n) {
    if (FastStep(s, AnsiToUtf8Wide, i, o, wideFrom)) continue;
    const unsigned char c = static_cast<unsigned char>(s[i++]);
    const uint32_t bytes = t.utf8[c];
    std::memcpy(o, &bytes, 4);  // room is reserved past the end
    o += t.utf8Len[c];
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

size_t ansiToUtf8Length(std::string_view s) {
  const UtfTables& t = Utf();
  size_t n = 0;
  for (char c : s) n += t.utf8Len[static_cast<uint8_t>(c)];
  return n;
}

}  // namespace prambus
