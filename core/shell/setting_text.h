// Settings shown and typed as text: whole numbers (decimal or "$" hex),
// reals in the user's locale, the yes/no words, colours by number or name,
// and strings of eight 0/1 flags. Texts are UTF-8. Numbers are read and
// written without the C library's locale, so only the decimal separator
// passed in changes with the user's language.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/canvas.h"
#include "settings/settings.h"

namespace prambus {

// Surrounding spaces and tabs removed.
std::string_view TrimBlanks(std::string_view text);

// A whole number: an optional sign, then decimal digits or "$" and hex
// digits. Numbers beyond ±2^40 are refused rather than wrapped.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// A real written with `separator` as its decimal separator (no other one is
// accepted), with an optional exponent. Refused when it is not finite. The
// value is rounded to the 15 significant digits that RealToText shows, so
// what the user sees is exactly what is kept.
std::optional<double> ParseReal(std::string_view text, std::string_view separator);
// General format with up to 15 significant digits: "0,8", "1E20", "1E-5".
std::string RealToText(double value, std::string_view separator);

// A number other than 0 is true; otherwise the words "Да", "Правда",
// "True", "Так" and "Нет", "Ложь", "False", "Неправда", "Не", in any case.
std::optional<bool> ParseYesNo(std::string_view text, std::string_view separator);
inline std::string YesNoText(bool value) {
  return value ? "True" : "False";
}

struct NamedColor {
  const char* russian;
  const char* english;
  Color value;
};
// The fifteen named colours in the order names are looked up and shown.
extern const std::array<NamedColor, 15> kNamedColors;
// A whole number from 0 to FFFFFF hex, or either name of a named colour in
// any case ("е" standing for "ё" too).
std::optional<Color> ParseColor(std::string_view text);
// The Russian name of the first named colour with that value, otherwise "$"
// and six upper-case hex digits (blue, green, red).
std::string ColorText(Color value);

// Exactly eight characters, each 0 or 1.
std::optional<Flags8> ParseFlags8(std::string_view text);
std::string Flags8Text(const Flags8& flags);

// The text with Latin and Cyrillic letters in upper case and "ё" as "е", for
// comparing words ignoring case.
std::string FoldForComparison(std::string_view utf8);

}  // namespace prambus
