// Arbitrary text as an .enc file: the parser never crashes or reads past it.
#include <string_view>

#include "encodings/enc_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  prambus::CodeTable table{};
  prambus::parseEncodingText(std::string_view(reinterpret_cast<const char*>(data), size), table);
  return 0;
}
