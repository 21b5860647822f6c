// A whole number as a user types it into a dialog: an optional sign, an
// optional prefix that names the base, and digits, which may be grouped with
// spaces ("1 048 576"). Shared by "Перейти..." and the search for a number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

struct TypedNumber {
  bool negative = false;
  bool signed_ = false;    // a sign was typed (+ or -)
  uint64_t magnitude = 0;  // saturated at the largest value when too long
  bool saturated = false;
};

// Reads the whole text (blanks around it are allowed): "+" or "-" (the
// typographic minus too), then "0x" for hexadecimal or "#" for decimal, else
// digits of `base` (2..36, letters in either case). False when anything else
// is there or no digit is.
bool ReadTypedNumber(std::string_view text, int base, TypedNumber& out);

// The text with blanks removed from both ends (spaces, tabs, no-break spaces).
std::string_view TrimTyped(std::string_view text);

// "шестнадцатеричной записи", "десятичной записи"... or "записи по основанию 7".
std::string BaseNotationName(int base);

// A number written for people: groups of three digits parted by no-break
// spaces ("-2 147 483 648"), as the program's other messages write them, so
// that a wrapped message never splits a number.
std::string GroupedDecimal(int64_t v);
std::string GroupedDecimal(uint64_t v);

// Why a text pasted as codes gave no bytes: it holds something other than
// codes of the base (0 to 255) parted by blanks or line ends.
std::string CodeTextRefusal(int base);

// What the user typed, in the guillemets the program's messages quote it in.
std::string Guillemets(std::string_view text);

}  // namespace prambus
