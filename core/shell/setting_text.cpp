#include "shell/setting_text.h"

#include <charconv>
#include <cmath>

#include "text/cp1251.h"

namespace prambus {

namespace {

constexpr int64_t kWholeNumberLimit = int64_t{1} << 40;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The real in plain C notation, or nothing when the text is not one.
std::optional<double> ReadCReal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text[0] == '+') {
    text.remove_prefix(1);
    if (text.empty() || text[0] == '-') return std::nullopt;
  }
  // Only digits, one point, an exponent and signs: from_chars would also take
  // "inf" and "nan", which are no numbers to a user.
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'))
      return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

// The real written by the locale's rule turned into C notation; nothing when
// it uses another separator.
std::optional<std::string> ToCNotation(std::string_view text, std::string_view separator) {
  std::string out(TrimBlanks(text));
  if (separator.empty() || separator == ".") return out;
  if (out.find('.') != std::string::npos) return std::nullopt;
  const size_t at = out.find(separator);
  if (at != std::string::npos) out.replace(at, separator.size(), ".");
  return out;
}

std::string FormatGeneral15(double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string s(buf, r.ptr);
  // "1e+20" and "1e-05" are written "1E20" and "1E-5".
  const size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exponent = s.substr(e + 1);
  std::string sign;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    if (exponent[0] == '-') sign = "-";
    exponent.erase(0, 1);
  }
  const size_t nonZero = exponent.find_first_not_of('0');
  exponent = nonZero == std::string::npos ? "0" : exponent.substr(nonZero);
  return mantissa + "E" + sign + exponent;
}

bool IsOneOf(const std::string& folded, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (folded == FoldForComparison(w)) return true;
  return false;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text[0] == '$') {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0 || d >= base) return std::nullopt;
    value = value * base + d;
    if (value > kWholeNumberLimit) return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<double> ParseReal(std::string_view text, std::string_view separator) {
  const std::optional<std::string> c = ToCNotation(text, separator);
  if (!c) return std::nullopt;
  const std::optional<double> value = ReadCReal(*c);
  if (!value) return std::nullopt;
  // Fifteen significant digits survive the trip to a double and back, so the
  // rounded value shows the same text and reads back as itself.
  return ReadCReal(FormatGeneral15(*value));
}

std::string RealToText(double value, std::string_view separator) {
  if (value == 0) value = 0;  // no "-0"
  std::string s = FormatGeneral15(value);
  const size_t point = s.find('.');
  if (point != std::string::npos && !separator.empty()) s.replace(point, 1, separator);
  return s;
}

std::optional<bool> ParseYesNo(std::string_view text, std::string_view separator) {
  const std::optional<std::string> c = ToCNotation(text, separator);
  if (c) {
    if (const std::optional<double> v = ReadCReal(*c)) return *v != 0;
  }
  const std::string folded = FoldForComparison(TrimBlanks(text));
  if (IsOneOf(folded, {"Да", "Правда", "True", "Так"})) return true;
  if (IsOneOf(folded, {"Нет", "Ложь", "False", "Неправда", "Не"})) return false;
  return std::nullopt;
}

const std::array<NamedColor, 15> kNamedColors = {{
    {"Белый", "White", 0xFFFFFF},
    {"Чёрный", "Black", 0x000000},
    {"Серый", "Gray", 0x808080},
    {"Светло-серый", "Light gray", 0xC0C0C0},
    {"Красный", "Red", 0x0000FF},
    {"Фиолетовый", "Purple", 0x800080},
    {"Светло-фиолетовый", "Light purple", 0xFF00FF},
    {"Коричневый", "Maroon", 0x000080},
    {"Зелёный", "Green", 0x008000},
    {"Светло-зелёный", "Light green", 0x00FF00},
    {"Жёлтый", "Yellow", 0x00FFFF},
    {"Кремовый", "Cream", 0xF0FBFF},
    {"Синий", "Blue", 0xFF0000},
    {"Тёмно-синий", "Dark blue", 0x800000},
    {"Светло-синий", "Light blue", 0xFFFF00},
}};

std::optional<Color> ParseColor(std::string_view text) {
  if (const std::optional<int64_t> n = ParseWholeNumber(text)) {
    if (*n < 0 || *n > 0xFFFFFF) return std::nullopt;
    return static_cast<Color>(*n);
  }
  const std::string folded = FoldForComparison(TrimBlanks(text));
  for (const NamedColor& c : kNamedColors) {
    if (folded == FoldForComparison(c.russian) || folded == FoldForComparison(c.english))
      return c.value;
  }
  // The old misspelling of "Dark blue" is still understood.
  if (folded == FoldForComparison("Drak blue")) return Color{0x800000};
  return std::nullopt;
}

std::string ColorText(Color value) {
  for (const NamedColor& c : kNamedColors)
    if (c.value == value) return c.russian;
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (Color v = value; v != 0 || hex.size() < 6; v >>= 4) hex.insert(hex.begin(), kDigits[v & 15]);
  return "$" + hex;
}

std::optional<Flags8> ParseFlags8(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() != 8) return std::nullopt;
  Flags8 flags{};
  for (size_t i = 0; i < 8; ++i) {
    if (text[i] != '0' && text[i] != '1') return std::nullopt;
    flags[i] = text[i] == '1';
  }
  return flags;
}

std::string Flags8Text(const Flags8& flags) {
  std::string s;
  for (bool f : flags) s += f ? '1' : '0';
  return s;
}

std::string FoldForComparison(std::string_view utf8) {
  std::string s = Utf8ToCp1251(utf8);
  UpperInPlace(s);
  for (char& c : s)
    if (static_cast<uint8_t>(c) == 0xA8) c = static_cast<char>(0xC5);  // Ё as Е
  return s;
}

}  // namespace prambus
