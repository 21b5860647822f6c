#include "shell/typed_number.h"

#include <limits>

#include "views/hex_codes.h"

namespace prambus {

namespace {

// The blank that starts text at i, and its length in bytes: a space, a tab,
// or (UTF-8) a no-break space or a narrow no-break space; 0 for none.
size_t BlankAt(std::string_view text, size_t i) {
  const char c = text[i];
  if (c == ' ' || c == '\t') return 1;
  if (text.substr(i, 2) == "\xC2\xA0") return 2;
  if (text.substr(i, 3) == "\xE2\x80\xAF") return 3;
  return 0;
}

constexpr std::string_view kMinusSign = "\xE2\x88\x92";  // U+2212

}  // namespace

std::string_view TrimTyped(std::string_view text) {
  size_t n = 0;
  while (!text.empty() && (n = BlankAt(text, 0)) > 0) text.remove_prefix(n);
  for (;;) {
    bool trimmed = false;
    for (size_t len = 1; len <= 3 && len <= text.size(); ++len) {
      if (BlankAt(text, text.size() - len) == len) {
        text.remove_suffix(len);
        trimmed = true;
        break;
      }
    }
    if (!trimmed) return text;
  }
}

bool ReadTypedNumber(std::string_view text, int base, TypedNumber& out) {
  out = TypedNumber{};
  text = TrimTyped(text);
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    out.signed_ = true;
    out.negative = text[0] == '-';
    text.remove_prefix(1);
  } else if (text.substr(0, kMinusSign.size()) == kMinusSign) {
    out.signed_ = out.negative = true;
    text.remove_prefix(kMinusSign.size());
  }
  text = TrimTyped(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (!text.empty() && text[0] == '#') {
    base = 10;
    text.remove_prefix(1);
  }
  if (base < 2 || base > 36) return false;
  bool digits = false;
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  for (size_t i = 0; i < text.size();) {
    if (const size_t blank = BlankAt(text, i); blank > 0 && digits) {
      i += blank;  // parts a group of digits (the text's end has no blanks)
      continue;
    }
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const uint8_t d = DigitValue(static_cast<uint8_t>(c));
    if (d >= base) return false;
    digits = true;
    const uint64_t b = static_cast<uint64_t>(base);
    if (out.magnitude > (kMax - d) / b) {
      out.magnitude = kMax;
      out.saturated = true;
    } else if (!out.saturated) {
      out.magnitude = out.magnitude * b + d;
    }
    ++i;
  }
  return digits;
}

std::string BaseNotationName(int base) {
  switch (base) {
    case 2:
      return "двоичной записи";
    case 8:
      return "восьмеричной записи";
    case 10:
      return "десятичной записи";
    case 16:
      return "шестнадцатеричной записи";
    default:
      return "записи по основанию " + std::to_string(base);
  }
}

std::string GroupedDecimal(uint64_t v) {
  std::string digits = std::to_string(v), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "\u00A0";
    out += digits[i];
  }
  return out;
}

std::string GroupedDecimal(int64_t v) {
  if (v >= 0) return GroupedDecimal(static_cast<uint64_t>(v));
  return "-" + GroupedDecimal(uint64_t{0} - static_cast<uint64_t>(v));
}

std::string CodeTextRefusal(int base) {
  return "Я не вставил текст в виде кода: в нём должны быть только коды байтов в " +
         BaseNotationName(base) + ", от 0 до " + DigitsOf(255, base) +
         ", разделённые пробелами или переводами строки.";
}

std::string Guillemets(std::string_view text) {
  return "«" + std::string(text) + "»";
}

}  // namespace prambus
