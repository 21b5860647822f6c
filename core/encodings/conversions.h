// The conversions that are not byte tables: Quoted-Printable,
// transliteration between Latin and Cyrillic, UTF-16 and UTF-8. The
// single-byte side is always Windows-1251; characters it cannot hold become
// '?'. Every function takes a byte string and returns a new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

// Process-wide state that lives across calls (the text view converts line by
// line and relies on it).
struct ConversionState {
  int qpColumn = 0;        // characters written to the current Quoted-Printable line
  std::string utf16Carry;  // zero or one byte kept back by utf16ToAnsi
};
ConversionState& Conversions();

uint8_t hexDigitValue(uint8_t c);  // '0'-'9', 'A'-'F'; anything else 255
uint8_t hexDigitChar(uint8_t v);   // 0-15 -> '0'-'9', 'A'-'F'

std::string decodeQuotedPrintable(std::string_view s);
std::string encodeQuotedPrintable(std::string_view s, bool resetColumn);
std::string translitToCyrillic(std::string_view s);
std::string cyrillicToTranslit(std::string_view s);
std::string ansiToUtf16(std::string_view s);
std::string utf16ToAnsi(std::string_view s, bool firstChunk);
std::string utf8ToAnsi(std::string_view s);
std::string ansiToUtf8(std::string_view s);

// Exact output lengths of the encoders, counted without writing the output
// (Quoted-Printable from column 0), so that a conversion can be refused
// before it runs.
size_t encodedQuotedPrintableLength(std::string_view s);
size_t cyrillicToTranslitLength(std::string_view s);
size_t ansiToUtf8Length(std::string_view s);

}  // namespace prambus
