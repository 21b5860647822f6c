#include "text/utf8_scan.h"

#include "text/utf8_chars.h"

namespace prambus {

size_t Utf8SequenceAt(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(text.data()) + at;
  const int length = Utf8Length(p, text.size() - at);
  return length == 0 || (length == 1 && p[0] >= 0x80) ? 0 : static_cast<size_t>(length);
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
  return DecodeUtf8(reinterpret_cast<const uint8_t*>(text.data()) + at, static_cast<int>(length));
}

}  // namespace prambus
