// Numbers searched for in the hex view: every width, both orders, both
// signs, and the floats with their edge values.
#include "shell/number_bytes.h"

#include <gtest/gtest.h>

namespace prambus {
namespace {

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string Encoded(std::string_view text, NumberType type, bool bigEndian = false, int base = 10) {
  std::string bytes, error;
  EXPECT_TRUE(EncodeNumber(text, {type, bigEndian}, base, bytes, error)) << text << ": " << error;
  return Hex(bytes);
}

std::string Refused(std::string_view text, NumberType type, int base = 10) {
  std::string bytes = "untouched", error;
  EXPECT_FALSE(EncodeNumber(text, {type, false}, base, bytes, error)) << text;
  EXPECT_EQ(bytes, "untouched");
  return error;
}

TEST(NumberBytes, IntegersOfEveryWidthInBothOrders) {
  EXPECT_EQ(Encoded("200", NumberType::kU8), "c8");
  EXPECT_EQ(Encoded("-56", NumberType::kS8), "c8");
  EXPECT_EQ(Encoded("513", NumberType::kU16), "0102");
  EXPECT_EQ(Encoded("513", NumberType::kU16, true), "0201");
  EXPECT_EQ(Encoded("-2", NumberType::kS16, true), "fffe");
  EXPECT_EQ(Encoded("305419896", NumberType::kU32), "78563412");
  EXPECT_EQ(Encoded("305419896", NumberType::kU32, true), "12345678");
  EXPECT_EQ(Encoded("-2", NumberType::kS32), "feffffff");
  EXPECT_EQ(Encoded("1", NumberType::kS64, true), "0000000000000001");
  EXPECT_EQ(Encoded("-1", NumberType::kS64), "ffffffffffffffff");
}

TEST(NumberBytes, EachTypeTakesExactlyItsRange) {
  struct Case {
    NumberType type;
    const char *least, *most, *below, *above, *leastBytes, *mostBytes;
  };
  const Case cases[] = {
      {NumberType::kU8, "0", "255", "-1", "256", "00", "ff"},
      {NumberType::kS8, "-128", "127", "-129", "128", "80", "7f"},
      {NumberType::kU16, "0", "65535", "-1", "65536", "0000", "ffff"},
      {NumberType::kS16, "-32768", "32767", "-32769", "32768", "0080", "ff7f"},
      {NumberType::kU32, "0", "4294967295", "-1", "4294967296", "00000000", "ffffffff"},
      {NumberType::kS32, "-2147483648", "2147483647", "-2147483649", "2147483648", "00000080",
       "ffffff7f"},
      {NumberType::kU64, "0", "18446744073709551615", "-1", "18446744073709551616",
       "0000000000000000", "ffffffffffffffff"},
      {NumberType::kS64, "-9223372036854775808", "9223372036854775807", "-9223372036854775809",
       "9223372036854775808", "0000000000000080", "ffffffffffffff7f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(NumberTypeCaption(c.type));
    EXPECT_EQ(Encoded(c.least, c.type), c.leastBytes);
    EXPECT_EQ(Encoded(c.most, c.type), c.mostBytes);
    const std::string error = Refused(c.above, c.type);
    EXPECT_NE(error.find(std::string("«") + NumberTypeCaption(c.type) + "»"), std::string::npos)
        << error;
    Refused(c.below, c.type);
  }
  // The range is told as people write numbers.
  EXPECT_NE(Refused("40000", NumberType::kS16).find("от -32\u00A0768 до 32\u00A0767"),
            std::string::npos);
  EXPECT_EQ(Encoded("-0", NumberType::kU8), "00");
}

TEST(NumberBytes, IntegersInTheCodesBaseOrWithAPrefix) {
  EXPECT_EQ(Encoded("FF", NumberType::kU8, false, 16), "ff");
  EXPECT_EQ(Encoded("-7f", NumberType::kS16, false, 16), "81ff");
  EXPECT_EQ(Encoded("0x1234", NumberType::kU16, true), "1234");
  EXPECT_EQ(Encoded("#255", NumberType::kU8, false, 16), "ff");
  EXPECT_EQ(Encoded("1 000 000", NumberType::kU32), "40420f00");
  EXPECT_NE(Refused("FF", NumberType::kU8).find("десятичной записи"), std::string::npos);
  EXPECT_NE(Refused("12", NumberType::kU8, 2).find("двоичной записи"), std::string::npos);
  Refused("1.5", NumberType::kS32);
  Refused("99999999999999999999999", NumberType::kU64);
}

TEST(NumberBytes, FloatsWithTheirEdgeValues) {
  EXPECT_EQ(Encoded("1", NumberType::kDouble), "000000000000f03f");  // as the data window reads it
  EXPECT_EQ(Encoded("1", NumberType::kDouble, true), "3ff0000000000000");
  EXPECT_EQ(Encoded("0,1", NumberType::kFloat), "cdcccc3d");  // a comma for the point
  EXPECT_EQ(Encoded("0.1", NumberType::kFloat, true), "3dcccccd");
  EXPECT_EQ(Encoded("-1.5e3", NumberType::kFloat), "0080bbc4");
  EXPECT_EQ(Encoded("+2", NumberType::kFloat), "00000040");
  // Zero and minus zero are different bytes, and each is found as typed.
  EXPECT_EQ(Encoded("0", NumberType::kFloat), "00000000");
  EXPECT_EQ(Encoded("-0", NumberType::kFloat), "00000080");
  EXPECT_EQ(Encoded("\xE2\x88\x92"
                    "0",
                    NumberType::kDouble),
            "0000000000000080");
  EXPECT_EQ(Encoded("inf", NumberType::kFloat), "0000807f");
  EXPECT_EQ(Encoded("-Infinity", NumberType::kDouble), "000000000000f0ff");
  // The largest and the least positive values of float.
  EXPECT_EQ(Encoded("3.4028234663852886e38", NumberType::kFloat), "ffff7f7f");
  EXPECT_EQ(Encoded("1e-45", NumberType::kFloat), "01000000");
  EXPECT_EQ(Encoded("1.7976931348623157e308", NumberType::kDouble), "ffffffffffffef7f");

  for (const char* nan : {"nan", "NaN", "-nan", "nan(0x1)"}) {
    EXPECT_NE(Refused(nan, NumberType::kDouble).find("NaN"), std::string::npos);
    Refused(nan, NumberType::kFloat);
  }
  EXPECT_NE(Refused("1e39", NumberType::kFloat).find("не помещается в «float (32 бита)»"),
            std::string::npos);
  Refused("1e999", NumberType::kDouble);
  Refused("1e-999", NumberType::kDouble);
  const std::string garbage = Refused("1,5,3", NumberType::kDouble);
  EXPECT_NE(garbage.find("«1,5,3»"), std::string::npos) << garbage;
  Refused("0x1p3", NumberType::kDouble);
  EXPECT_NE(Refused("  ", NumberType::kU8).find("Напишите число"), std::string::npos);
}

TEST(NumberBytes, SearchNameSaysTypeAndOrder) {
  EXPECT_EQ(NumberSearchName(" -2 ", {NumberType::kS32, false}),
            "-2 (32 бита (±), от младшего байта)");
  EXPECT_EQ(NumberSearchName("1", {NumberType::kDouble, true}),
            "1 (double (64 бита), от старшего байта)");
}

}  // namespace
}  // namespace prambus
