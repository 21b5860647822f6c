// Arbitrary text typed into "Перейти..." and into the search for a number.
// A place read from it is within what a request can say; a number encoded
// takes exactly its type's width, and its bytes read back and written in
// decimal encode to the same bytes again.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/go_to.h"
#include "shell/number_bytes.h"

using namespace prambus;

namespace {

// The value of the bytes in the type, written as the search takes it.
std::string DecimalOf(const std::string& bytes, const NumberFormat& f) {
  const int n = NumberWidth(f.type);
  uint64_t bits = 0;
  for (int i = 0; i < n; ++i) {
    const uint8_t b = static_cast<uint8_t>(bytes[static_cast<size_t>(f.bigEndian ? i : n - 1 - i)]);
    bits = bits << 8 | b;
  }
  char text[64];
  char* end = text;
  if (f.type == NumberType::kFloat) {
    float v;
    uint32_t b = static_cast<uint32_t>(bits);
    std::memcpy(&v, &b, sizeof v);
    end = std::to_chars(text, text + sizeof text, v).ptr;
  } else if (f.type == NumberType::kDouble) {
    double v;
    std::memcpy(&v, &bits, sizeof v);
    end = std::to_chars(text, text + sizeof text, v).ptr;
  } else if (static_cast<int>(f.type) % 2 == 1 && n < 8 && (bits >> (8 * n - 1)) != 0) {
    end = std::to_chars(text, text + sizeof text,
                        static_cast<int64_t>(bits) - (int64_t{1} << (8 * n)))
              .ptr;
  } else if (static_cast<int>(f.type) % 2 == 1) {
    end = std::to_chars(text, text + sizeof text, static_cast<int64_t>(bits)).ptr;
  } else {
    end = std::to_chars(text, text + sizeof text, bits).ptr;
  }
  return std::string(text, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int base = 2 + data[0] % 35;
  const NumberFormat format{static_cast<NumberType>(data[1] % kNumberTypeCount),
                            (data[1] & 0x80) != 0};
  const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);

  for (const GoToUnit unit : {GoToUnit::kLine, GoToUnit::kOffset}) {
    GoToRequest request;
    std::string error;
    if (ParseGoTo(text, unit, base, request, error)) {
      if (!request.relative && request.amount < 0) std::abort();
      if (request.column < 0 || (unit == GoToUnit::kOffset && request.column != 0)) std::abort();
    } else if (error.empty()) {
      std::abort();
    }
  }

  std::string bytes, error;
  if (!EncodeNumber(text, format, base, bytes, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (static_cast<int>(bytes.size()) != NumberWidth(format.type)) std::abort();
  std::string again;
  if (!EncodeNumber(DecimalOf(bytes, format), format, 10, again, error) || again != bytes)
    std::abort();
  return 0;
}
