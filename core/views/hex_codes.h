// Codes of bytes in a number base from 2 to 36: digit counts, digit
// characters, the code text of a byte and the parsing of code lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

// A base outside 2..36 is taken as the nearest of them: base 1 or 0 would
// never end a digit loop.
constexpr int ValidBase(int base) {
  return base < 2 ? 2 : base > 36 ? 36 : base;
}
int DigitCount(uint64_t v, int base);  // at least 1
char DigitChar(int v);                 // 0..9 -> '0'..'9', 10..35 -> 'A'..'Z'
uint8_t DigitValue(uint8_t c);         // the inverse; 255 for anything else
// The digits of v in the base, padded with zeros to `width` (0: no padding).
std::string DigitsOf(uint64_t v, int base, int width = 0);
// Reads a digit string in the base; the value, or -1 when a digit is invalid.
int64_t ReadDigits(std::string_view digits, int base);
// Tokens separated by tab, LF, CR or space, each at most DigitCount(255)
// digits (a longer run starts the next token); lower-case letters count as
// capitals. Any invalid digit or a value above 255 makes the result empty.
std::string ParseCodeText(std::string_view text, int base);
// Whether a Windows-1251 character has no visible glyph of its own (control
// characters, DEL, the unassigned 0x98, the soft hyphen): the character
// column shows such a byte as a dot in its cell.
bool HasNoGlyph(uint8_t c);

}  // namespace prambus
