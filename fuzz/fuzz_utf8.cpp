// Arbitrary bytes as UTF-8: never more characters out than bytes in.
#include <cstdlib>
#include <string>

#include "encodings/conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  if (prambus::utf8ToAnsi(in).size() > size) std::abort();
  return 0;
}
