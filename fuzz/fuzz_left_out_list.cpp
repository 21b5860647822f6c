// The list of libraries left out at start, read from a file earlier runs
// wrote: whatever reads is exactly what writing it back gives, as far as it
// reaches.
#include <cstdlib>
#include <string>

#include "extensions/library_journal.h"

using namespace prambus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string back = FormatLeftOut(ParseLeftOut(text));
  if (text.compare(0, back.size(), back) != 0) std::abort();
  return 0;
}
