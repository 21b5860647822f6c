#include "shell/number_bytes.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "shell/typed_number.h"

namespace prambus {

namespace {

struct TypeInfo {
  const char* caption;
  int width;
  bool isSigned;
};

constexpr std::array<TypeInfo, kNumberTypeCount> kTypes = {{
    {"8 бит (+)", 1, false},
    {"8 бит (±)", 1, true},
    {"16 бит (+)", 2, false},
    {"16 бит (±)", 2, true},
    {"32 бита (+)", 4, false},
    {"32 бита (±)", 4, true},
    {"64 бита (+)", 8, false},
    {"64 бита (±)", 8, true},
    {"float (32 бита)", 4, true},
    {"double (64 бита)", 8, true},
}};

const TypeInfo& Info(NumberType type) {
  return kTypes[static_cast<size_t>(type)];
}

// The value's bits, least significant byte first or last.
std::string Ordered(uint64_t bits, int width, bool bigEndian) {
  std::string out(static_cast<size_t>(width), '\0');
  for (int i = 0; i < width; ++i) {
    const char b = static_cast<char>((bits >> (8 * i)) & 0xFF);
    out[static_cast<size_t>(bigEndian ? width - 1 - i : i)] = b;
  }
  return out;
}

bool EncodeInteger(std::string_view text, NumberType type, int base, uint64_t& bits,
                   std::string& error) {
  const TypeInfo& info = Info(type);
  TypedNumber n;
  if (!ReadTypedNumber(text, base, n)) {
    error = "Я не понимаю " + Guillemets(text) + ": это не целое число в " +
            BaseNotationName(base) + ".";
    return false;
  }
  const int widthBits = info.width * 8;
  const uint64_t unsignedMax = widthBits == 64 ? ~uint64_t{0} : (uint64_t{1} << widthBits) - 1;
  const uint64_t positiveMax = info.isSigned ? unsignedMax >> 1 : unsignedMax;
  const uint64_t negativeMax = info.isSigned ? positiveMax + 1 : 0;  // magnitude of the least value
  const bool fits =
      !n.saturated && (n.negative ? n.magnitude <= negativeMax : n.magnitude <= positiveMax);
  if (!fits) {
    const std::string least =
        info.isSigned ? GroupedDecimal(int64_t{0} - static_cast<int64_t>(negativeMax - 1) - 1)
                      : "0";
    error = "Число " + Guillemets(text) + " не помещается в " + Guillemets(info.caption) +
            ": там числа от " + least + " до " + GroupedDecimal(positiveMax) + ".";
    return false;
  }
  bits = (n.negative ? uint64_t{0} - n.magnitude : n.magnitude) & unsignedMax;
  return true;
}

// A decimal real as people type it: a comma for the point, blanks between
// digit groups, the typographic minus, "+" and "inf".
std::string PlainReal(std::string_view text) {
  std::string out;
  const std::string_view trimmed = TrimTyped(text);
  for (size_t i = 0; i < trimmed.size(); ++i) {
    const char c = trimmed[i];
    if (trimmed.substr(i, 3) == "\xE2\x88\x92") {
      out += '-';
      i += 2;
    } else if (trimmed.substr(i, 2) == "\xC2\xA0") {
      ++i;
    } else if (trimmed.substr(i, 3) == "\xE2\x80\xAF") {
      i += 2;
    } else if (c == ' ' || c == '\t') {
    } else {
      out += c == ',' ? '.' : c;
    }
  }
  if (out.size() > 1 && out[0] == '+' && out[1] != '-') out.erase(0, 1);
  return out;
}

bool IsNaNText(const std::string& plain) {
  std::string s = plain;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.erase(0, 1);
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s.rfind("nan", 0) == 0;
}

template <class Real>
bool ReadReal(const std::string& plain, Real& value) {
  const char* end = plain.data() + plain.size();
  const auto r = std::from_chars(plain.data(), end, value, std::chars_format::general);
  return !plain.empty() && r.ec == std::errc() && r.ptr == end;
}

bool EncodeReal(std::string_view text, NumberType type, uint64_t& bits, std::string& error) {
  const std::string plain = PlainReal(text);
  if (IsNaNText(plain)) {
    error = "NaN (не-число) я не ищу: у него нет одной записи в байтах, их миллионы.";
    return false;
  }
  bool read = false;
  if (type == NumberType::kFloat) {
    float f = 0;
    read = ReadReal(plain, f);
    uint32_t b = 0;
    std::memcpy(&b, &f, sizeof b);
    bits = b;
  } else {
    double d = 0;
    read = ReadReal(plain, d);
    std::memcpy(&bits, &d, sizeof bits);
  }
  if (read) return true;
  // A number all the same, only beyond what the type holds?
  double wide = 0;
  const char* end = plain.data() + plain.size();
  const auto r = std::from_chars(plain.data(), end, wide);
  if (!plain.empty() && r.ptr == end &&
      (r.ec == std::errc() || r.ec == std::errc::result_out_of_range)) {
    error = "Число " + Guillemets(text) + " не помещается в " + Guillemets(Info(type).caption) +
            ": оно слишком велико или слишком близко к нулю.";
  } else {
    error = "Я не понимаю " + Guillemets(text) +
            ": это не число. Дробную часть отделяйте точкой или запятой, порядок пишите после "
            "e (1,5e-3).";
  }
  return false;
}

}  // namespace

const char* NumberTypeCaption(NumberType type) {
  return Info(type).caption;
}

int NumberWidth(NumberType type) {
  return Info(type).width;
}

bool IsFloatType(NumberType type) {
  return type == NumberType::kFloat || type == NumberType::kDouble;
}

bool EncodeNumber(std::string_view text, const NumberFormat& format, int base, std::string& bytes,
                  std::string& error) {
  if (TrimTyped(text).empty()) {
    error = "Напишите число, которое надо найти.";
    return false;
  }
  uint64_t bits = 0;
  const bool encoded = IsFloatType(format.type)
                           ? EncodeReal(TrimTyped(text), format.type, bits, error)
                           : EncodeInteger(TrimTyped(text), format.type, base, bits, error);
  if (!encoded) return false;
  bytes = Ordered(bits, NumberWidth(format.type), format.bigEndian);
  return true;
}

std::string NumberSearchName(std::string_view text, const NumberFormat& format) {
  return std::string(TrimTyped(text)) + " (" + NumberTypeCaption(format.type) + ", " +
         (format.bigEndian ? "от старшего байта" : "от младшего байта") + ")";
}

std::string NumberNotFoundMessage(const std::string& name) {
  return "Я завершил поиск числа " + name + ". Ничего не найдено.";
}

}  // namespace prambus
