// The rows of the data interpretation window: the bytes at the cursor read as
// little-endian integers of 8 to 64 bits and as a double, and the parsing of
// a value typed into a row back into bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace prambus {

// Row labels, tag 0 (the byte number) to 8 (double), UTF-8.
extern const std::array<const char*, 9> kDataLabels;

// The value text of row tag at byte offset p, from the bytes there (up to
// eight, fewer where the document ends sooner); "???" when the bytes are not
// there, " ???" when a double has no text form. The double is written with
// 15 significant digits and the given decimal point, whatever the C
// library's locale.
std::string DataValueAt(int tag, const uint8_t* bytes, int available, int64_t p, char decimalPoint);

// The same for any array of bytes with size() and operator[].
template <class Bytes>
std::string DataValueText(int tag, const Bytes& bytes, int64_t p, char decimalPoint = '.') {
  uint8_t here[8] = {};
  int available = 0;
  while (p >= 0 && available < 8 && p + available < static_cast<int64_t>(bytes.size())) {
    here[available] = bytes[static_cast<size_t>(p + available)];
    ++available;
  }
  return DataValueAt(tag, here, available, p, decimalPoint);
}

// The little-endian bytes of a value typed into row tag 1..8; false when the
// text is no number of that kind or out of its range. A double may use a
// point or a comma as its decimal separator, whatever the locale, and must
// be finite.
bool ParseDataValue(int tag, const std::string& text, std::string& bytes);

// The byte number typed into row 0; false when it is no number in 0..length.
bool ParseByteNumber(const std::string& text, int64_t length, int64_t& offset);

// Why ParseDataValue refused a text for row tag 1..8, and why
// ParseByteNumber refused one for a document of `length` bytes: for the
// user, in the words of the program's other messages about typed numbers.
std::string DataValueRefusal(int tag, const std::string& text);
std::string ByteNumberRefusal(const std::string& text, int64_t length);

}  // namespace prambus
