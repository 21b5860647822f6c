#include "encodings/enc_file.h"

#include <cstdint>
#include <vector>

#include "io/io_error.h"
#include "io/posix_file.h"

namespace prambus {
namespace {

// The value of a decimal or hexadecimal digit below `base`; -1 for anything else.
int DigitOf(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return v >= 0 && v < base ? v : -1;
}

// An optional sign, then decimal digits, or hex digits after "$", "x" or "0x".
// Only the low 8 bits are kept, so the value is taken modulo 2^64 (a multiple
// of 256): any number of up to 32 characters gives its low byte.
bool ParseLowByte(std::string_view t, uint8_t& out) {
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  int base = 10;
  if (i < t.size() && t[i] == '$') {
    base = 16;
    ++i;
  } else if (i < t.size() && (t[i] == 'x' || t[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= t.size()) return false;
  uint64_t v = 0;
  for (; i < t.size(); ++i) {
    const int d = DigitOf(t[i], base);
    if (d < 0) return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  if (negative) v = ~v + 1;
  out = static_cast<uint8_t>(v & 0xFF);
  return true;
}

}  // namespace

bool parseEncodingText(std::string_view text, CodeTable& table) {
  size_t pos = 0;
  const size_t n = text.size();
  CodeTable t{};
  int numbers = 0;
  for (int k = 0; k < 256; ++k) {
    while (pos < n && static_cast<uint8_t>(text[pos]) <= 32) ++pos;
    if (pos >= n) {
      t[k] = 0;  // a short file fills the rest with 0
      continue;
    }
    size_t end = pos;
    while (end<n&& static_cast<uint8_t>(text[end])> 32 && end - pos < 32) ++end;
    if (!ParseLowByte(text.substr(pos, end - pos), t[k])) return false;
    ++numbers;
    while (end < n && text[end] != '\n' && text[end] != '\r') ++end;  // rest of the line
    pos = end;
  }
  // A file without a single number is no table (it would map every byte to 0).
  if (numbers == 0) return false;
  table = t;
  return true;
}

bool loadEncodingFile(const std::string& path, CodeTable& table) {
  try {
    InputFile in(path);
    if (in.Size() > (int64_t(1) << 26)) return false;  // no sane table is that large
    std::string text;
    std::vector<char> buf(65536);
    for (size_t got; (got = in.Read(buf.data(), buf.size())) > 0;) {
      text.append(buf.data(), got);
      if (text.size() > (size_t(1) << 26)) return false;
    }
    return parseEncodingText(text, table);
  } catch (const IoError&) {
    return false;
  }
}

}  // namespace prambus
