// Hot-key texts and library strings as libraries hand them over: a text that
// reads as a hot key reads back the same from its canonical spelling, and a
// cut string is a prefix of at most the allowed characters.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "extensions/extension_library.h"
#include "extensions/virtual_keys.h"

using namespace prambus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (const std::optional<HotKey> key = ParseHotKey(text)) {
    if (!IsKnownVirtualKey(key->virtualKey) || key->shiftState > 7) std::abort();
    if (ParseHotKey(HotKeyText(*key)) != key) std::abort();
  }
  const int chars = size ? data[0] % 40 : 1;
  const std::string cut = CutUtf8(text, chars);
  if (text.compare(0, cut.size(), cut) != 0) std::abort();
  if (cut.size() > static_cast<size_t>(chars) * 4) std::abort();
  if (cut.find('\0') != std::string::npos) std::abort();
  return 0;
}
