// Arbitrary bytes from another copy, fed in arbitrary pieces: the reader
// never keeps more than one bounded line, and a valid request it reads
// formats back to the line it came from.
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/handover_request.h"

using namespace prambus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 64;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  HandOverRequestReader reader;
  std::vector<HandOverRequest> got;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    if (!reader.Feed(std::string_view(bytes).substr(at, piece), got)) break;
  }
  for (const HandOverRequest& r : got) {
    if (r.title.size() > kMaxHandOverRequest) std::abort();
    if (!r.valid) continue;
    const std::string line = FormatHandOverRequest(r.hash, r.title);
    HandOverRequestReader again;
    std::vector<HandOverRequest> back;
    if (!again.Feed(line, back) || back.size() != 1 || back[0].hash != r.hash ||
        back[0].title != r.title)
      std::abort();
  }
  return 0;
}
