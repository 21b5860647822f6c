// The record of a save in progress, read from a file a killed program left
// behind: whatever reads is exactly what writing it back gives.
#include <cstdlib>
#include <string>

#include "shell/save_journal.h"

using namespace prambus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (const std::optional<SaveRecord> r = ParseSaveRecord(text)) {
    if (FormatSaveRecord(*r) != text) std::abort();
  }
  return 0;
}
