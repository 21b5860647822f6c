#include "text/utf8_scan.h"

namespace prambus {

namespace {
bool InRange(unsigned char c, unsigned char low, unsigned char high) {
  return c >= low && c <= high;
}
}  // namespace

size_t Utf8SequenceAt(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  const auto byte = [&](size_t k) {
    return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0;
  };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  // The second byte's range depends on the lead: it is what rules out
  // overlong forms, surrogates and code points past U+10FFFF.
  unsigned char low = 0x80, high = 0xBF;
  size_t length = 0;
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (!InRange(byte(1), low, high)) return 0;
  for (size_t k = 2; k < length; ++k)
    if (!InRange(byte(k), 0x80, 0xBF)) return 0;
  return length;
}

bool IsWellFormedUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = Utf8SequenceAt(text, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

char32_t Utf8CodePointAt(std::string_view text, size_t at, size_t length) {
  static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t c = static_cast<unsigned char>(text[at]) & kLeadMask[length];
  for (size_t k = 1; k < length; ++k)
    c = (c << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
  return c;
}

}  // namespace prambus
