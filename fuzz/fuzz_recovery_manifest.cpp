// The manifest of a recovery copy, read from a file another run left behind:
// whatever reads is exactly what writing it back gives, or a manifest of an
// earlier version that writing completes.
#include <cstdlib>
#include <string>

#include "extensions/recovery_copy.h"

using namespace prambus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (const std::optional<RecoveryManifest> m = ParseRecoveryManifest(text)) {
    const std::string written = FormatRecoveryManifest(*m);
    if (written != text && (m->cursor != 0 || written.compare(0, text.size(), text) != 0))
      std::abort();
    if (ParseRecoveryManifest(written) != m) std::abort();
  }
  return 0;
}
