// Arbitrary bytes as UTF-16 in two chunks: one character per unit, with the
// odd byte carried from the first chunk to the second.
#include <cstdlib>
#include <string>

#include "encodings/conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const size_t cut = size ? data[0] % (size + 1) : 0;
  const std::string a = prambus::utf16ToAnsi(in.substr(0, cut), true);
  const std::string b = prambus::utf16ToAnsi(in.substr(cut), false);
  if (a.size() + b.size() != size / 2) std::abort();
  return 0;
}
