// Characters of UTF-8 text held as bytes. A well-formed sequence (the
// shortest form of a scalar value, no surrogate, at most U+10FFFF) is one
// character; every other byte is a character of its own, shown as a
// substitute and kept as it is. A lead byte is never a continuation byte, so
// any lead byte and any ASCII byte starts a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

inline bool IsUtf8Continuation(uint8_t b) {
  return (b & 0xC0) == 0x80;
}

// The length of the character at p, n bytes being known from there: 1 for
// ASCII and for a byte that starts no well-formed sequence, 2 to 4 for a
// well-formed sequence, and 0 when the n bytes are the cut start of a
// sequence that the bytes after them might still complete.
int Utf8Length(const uint8_t* p, size_t n);

// The same, where the n bytes are all there is: a cut sequence is ill-formed.
inline int Utf8LengthAtEnd(const uint8_t* p, size_t n) {
  const int len = Utf8Length(p, n);
  return len == 0 ? 1 : len;
}

// The scalar value of a well-formed sequence of len bytes (len from Utf8Length).
char32_t DecodeUtf8(const uint8_t* p, int len);

// Appends the UTF-8 form of a scalar value (others are not written).
void AppendUtf8(std::string& out, char32_t c);

// The start of the character that ends at col, in bytes that start a
// character at 0 and at col (col > 0).
int Utf8PreviousStart(const uint8_t* p, int col);

// The start of the character holding byte col, in bytes that start a
// character at 0: col itself, or the lead byte of the sequence it continues.
int Utf8StartOf(const uint8_t* p, int n, int col);

// How many characters the n bytes hold (each ill-formed byte counts one).
int64_t CountUtf8Chars(const uint8_t* p, size_t n);

// Cells a character takes in a monospace grid: 2 for East Asian wide and
// fullwidth characters and emoji, else 1.
int CharCells(char32_t c);

// The lower-case form of a Latin, Greek or Cyrillic letter whose UTF-8 form
// is as long as its own; any other character as it is.
char32_t FoldCase(char32_t c);

// Folds every well-formed character of the text in place (FoldCase): the
// bytes keep their count and their places, ill-formed bytes stay.
void FoldUtf8InPlace(std::string& text);
void FoldUtf8(uint8_t* p, size_t n);
// Whether the n bytes at p, folded, are the n bytes at folded.
bool FoldedEquals(const uint8_t* p, const uint8_t* folded, size_t n);

}  // namespace prambus
