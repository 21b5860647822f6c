// Arbitrary bytes from another copy, fed in arbitrary pieces: the reader
// never keeps more than one bounded line, and a valid request it reads
// formats to a line that reads back as the same request (a name's bytes
// carried exactly).
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/handover_request.h"
#include "text/utf8_scan.h"

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
    // A name that is text is asked for by title alone; any other by its bytes.
    const bool byBytes = r.path && !IsWellFormedUtf8(*r.path);
    const std::string line = r.path ? FormatHandOverRequest(r.hash, r.title, *r.path)
                                    : FormatHandOverRequest(r.hash, r.title);
    HandOverRequestReader again;
    std::vector<HandOverRequest> back;
    if (!again.Feed(line, back) || back.size() != 1 || !back[0].valid || back[0].hash != r.hash ||
        back[0].title != r.title || back[0].path.has_value() != byBytes ||
        (byBytes && back[0].path != r.path))
      std::abort();
  }
  return 0;
}
