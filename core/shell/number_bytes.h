// A number typed to be searched for in the hex view, turned into the bytes
// it is stored as: an integer of 8, 16, 32 or 64 bits, signed or not, or a
// 32- or 64-bit IEEE 754 float, in little- or big-endian order. The integer
// types are the data window's readings, named as it names them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

enum class NumberType : uint8_t { kU8, kS8, kU16, kS16, kU32, kS32, kU64, kS64, kFloat, kDouble };
inline constexpr int kNumberTypeCount = 10;

// "8 бит (+)", "8 бит (±)", ... "64 бита (±)", "float (32 бита)", "double (64 бита)".
const char* NumberTypeCaption(NumberType type);
int NumberWidth(NumberType type);  // in bytes
bool IsFloatType(NumberType type);

struct NumberFormat {
  NumberType type = NumberType::kS32;
  bool bigEndian = false;
};

// The bytes of the value typed as text in that format. Integers are read in
// `base` (decimal, or the codes' base) and may carry 0x or # as in
// "Перейти..."; floats are decimal, with a point or a comma, "inf" allowed.
// False, with the message to show in `error` (UTF-8), for text that is no
// number of the type, a value outside its range, or NaN, which has no one
// pattern of bytes to look for.
bool EncodeNumber(std::string_view text, const NumberFormat& format, int base, std::string& bytes,
                  std::string& error);

// How a search names what it looked for: "-2 (32 бита (±), от младшего байта)".
std::string NumberSearchName(std::string_view text, const NumberFormat& format);
// "Я завершил поиск числа NAME. Ничего не найдено." (NAME as above).
std::string NumberNotFoundMessage(const std::string& name);

}  // namespace prambus
