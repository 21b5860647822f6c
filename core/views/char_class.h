// The program-wide character class table used by wrapping, word moves, word
// selection and the merging of undo records.
#pragma once

#include <cstdint>

namespace prambus {

enum CharClassKind : uint8_t {
  kWordChar = 0,
  kBlank = 1,           // break after it
  kClosingPunct = 2,    // break after it
  kOpeningBracket = 3,  // break before it
  kBreakEither = 4,
  kLineFeed = 5,
  kCarriageReturn = 6,
};

extern uint8_t CharClass[256];
// Counts changes of the table, so that derived tables know when to rebuild.
extern unsigned CharClassGeneration;

// The text view's table: blanks, punctuation, brackets and line ends.
void ResetTextCharClass();
// The hex view sets every entry to one class so that every byte counts alike.
void SetUniformCharClass(uint8_t kind);

inline bool IsLineEnd(uint8_t c) {
  return CharClass[c] > 4;
}

}  // namespace prambus
