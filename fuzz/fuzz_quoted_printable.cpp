// Arbitrary bytes through Quoted-Printable decoding; any bytes survive an
// encode followed by a decode.
#include <cstdlib>
#include <string>

#include "encodings/conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  prambus::decodeQuotedPrintable(in);
  if (prambus::decodeQuotedPrintable(prambus::encodeQuotedPrintable(in, true)) != in) std::abort();
  return 0;
}
