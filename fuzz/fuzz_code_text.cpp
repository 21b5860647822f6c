// Arbitrary text as a code list in every base: never more bytes out than
// characters in, and what comes out parses back from its own code text.
#include <cstdlib>
#include <string>

#include "views/hex_codes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int base = 2 + data[0] % 35;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string bytes = prambus::ParseCodeText(text, base);
  if (bytes.size() > text.size()) std::abort();
  std::string codes;
  for (unsigned char b : bytes) codes += prambus::DigitsOf(b, base) + " ";
  if (prambus::ParseCodeText(codes, base) != bytes) std::abort();
  return 0;
}
