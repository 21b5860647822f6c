#include "shell/data_info.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "shell/typed_number.h"

namespace prambus {

const std::array<const char*, 9> kDataLabels = {
    "Номер байта -------",       "8 бит (+) ------------",    "8 бит (±) -------------",
    "16 бит (+) -------------",  "16 бит (±) -------------",  "32 бита (+) -------------",
    "32 бита (±) -------------", "64 бита (±) -------------", "double ----------------"};

namespace {
const int kWidths[9] = {0, 1, 1, 2, 2, 4, 4, 8, 8};
// The values rows 1 to 7 take.
const long long kLeast[8] = {0, 0, -128, 0, -32768, 0, INT32_MIN, INT64_MIN};
const long long kMost[8] = {0, 255, 127, 65535, 32767, 4294967295ll, INT32_MAX, INT64_MAX};

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
    if (v < kLeast[tag] || v > kMost[tag]) return false;
    u = static_cast<uint64_t>(v);
  }
  bytes.clear();
  for (int i = 0; i < kWidths[tag]; ++i) bytes += static_cast<char>((u >> (8 * i)) & 0xFF);
  return true;
}

namespace {
// The row's label without its leader of dashes: "16 бит (+)".
std::string RowCaption(int tag) {
  std::string_view label = kDataLabels[static_cast<size_t>(tag)];
  label = label.substr(0, label.find(" -"));
  return std::string(label);
}

// Digits with a sign at most: a whole number, in range or not.
bool LooksInteger(const std::string& text) {
  size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}
}  // namespace

std::string DataValueRefusal(int tag, const std::string& text) {
  if (tag >= 1 && tag <= 7) {
    if (!LooksInteger(text))
      return "Я не понимаю " + Guillemets(text) + ": это не целое число в десятичной записи.";
    return "Число " + Guillemets(text) + " не помещается в " + Guillemets(RowCaption(tag)) +
           ": там числа от " + GroupedDecimal(static_cast<int64_t>(kLeast[tag])) + " до " +
           GroupedDecimal(static_cast<int64_t>(kMost[tag])) + ".";
  }
  std::string t = text;  // read as ParseDataValue reads it
  for (char& c : t)
    if (c == ',') c = '.';
  if (!t.empty() && t[0] == '+' && t.size() > 1 && t[1] != '-') t.erase(0, 1);
  double d = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), d);
  if (!t.empty() && r.ptr == t.data() + t.size() &&
      (r.ec == std::errc::result_out_of_range || (r.ec == std::errc() && std::isinf(d))))
    return "Число " + Guillemets(text) + " не помещается в " + Guillemets(RowCaption(8)) +
           ": оно слишком велико или слишком близко к нулю.";
  return "Я не понимаю " + Guillemets(text) +
         ": это не конечное число. Дробную часть отделяйте точкой или запятой, порядок пишите "
         "после e (1,5e-3).";
}

std::string ByteNumberRefusal(const std::string& text, int64_t length) {
  if (!LooksInteger(text))
    return "Я не понимаю " + Guillemets(text) + ": номер байта пишется целым числом.";
  return "Номер " + Guillemets(text) + " лежит за концом документа: он может быть от 0 до " +
         GroupedDecimal(length) + " (" + GroupedDecimal(length) + " — сам конец).";
}

bool ParseByteNumber(const std::string& text, int64_t length, int64_t& offset) {
  long long v = 0;
  if (!ParseInteger(text, v) || v < 0 || v > length) return false;
  offset = v;
  return true;
}

}  // namespace prambus
