#include "shell/data_info.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace prambus {

const std::array<const char*, 9> kDataLabels = {
    "Номер байта -------",       "8 бит (+) ------------",    "8 бит (±) -------------",
    "16 бит (+) -------------",  "16 бит (±) -------------",  "32 бита (+) -------------",
    "32 бита (±) -------------", "64 бита (±) -------------", "double ----------------"};

namespace {
const int kWidths[9] = {0, 1, 1, 2, 2, 4, 4, 8, 8};

uint64_t LittleEndian(const uint8_t* b, int n) {
  uint64_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[i];
  return v;
}

bool ParseInteger(const std::string& text, long long& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  out = v;
  return true;
}
}  // namespace

std::string DataValueAt(int tag, const uint8_t* bytes, int available, int64_t p,
                        char decimalPoint) {
  if (tag == 0) return std::to_string(p);
  const int n = kWidths[tag];
  if (p < 0 || n > available) return "???";
  const uint64_t u = LittleEndian(bytes, n);
  switch (tag) {
    case 1:
      return std::to_string(u);
    case 2:
      return std::to_string(static_cast<int8_t>(u));
    case 3:
      return std::to_string(u);
    case 4:
      return std::to_string(static_cast<int16_t>(u));
    case 5:
      return std::to_string(u);
    case 6:
      return std::to_string(static_cast<int32_t>(u));
    case 7:
      return std::to_string(static_cast<int64_t>(u));
    default: {
      double d;
      std::memcpy(&d, &u, sizeof d);
      // An infinity reads as the find window takes it; a NaN has no value
      // to show.
      if (std::isinf(d)) return d < 0 ? "-inf" : "inf";
      if (std::isnan(d)) return " ???";
      char buf[64];
      const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 15);
      std::string out(buf, r.ptr);
      for (char& c : out)
        if (c == '.') c = decimalPoint;
      return out;
    }
  }
}

bool ParseDataValue(int tag, const std::string& text, std::string& bytes) {
  if (tag < 1 || tag > 8) return false;
  uint64_t u = 0;
  if (tag == 8) {
    std::string t = text;
    for (char& c : t)
      if (c == ',') c = '.';
    if (!t.empty() && t[0] == '+' && t.size() > 1 && t[1] != '-') t.erase(0, 1);
    double d = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), d);
    if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(d))
      return false;
    std::memcpy(&u, &d, sizeof u);
  } else {
    long long v = 0;
    if (tag == 5) {  // 0..4294967295 does not fit every signed reading
      if (!ParseInteger(text, v) || v < 0 || v > 4294967295ll) return false;
    } else if (!ParseInteger(text, v)) {
      return false;
    }
    static const long long lo[8] = {0, 0, -128, 0, -32768, 0, INT32_MIN, INT64_MIN};
    static const long long hi[8] = {0, 255, 127, 65535, 32767, 4294967295ll, INT32_MAX, INT64_MAX};
    if (v < lo[tag] || v > hi[tag]) return false;
    u = static_cast<uint64_t>(v);
  }
  bytes.clear();
  for (int i = 0; i < kWidths[tag]; ++i) bytes += static_cast<char>((u >> (8 * i)) & 0xFF);
  return true;
}

bool ParseByteNumber(const std::string& text, int64_t length, int64_t& offset) {
  long long v = 0;
  if (!ParseInteger(text, v) || v < 0 || v > length) return false;
  offset = v;
  return true;
}

}  // namespace prambus
