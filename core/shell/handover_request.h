// The request one copy of the program sends another: "Do you show this
// file?", as the decimal path hash, a tab, the window title (UTF-8) and a
// newline. The answer is "1\n" or "0\n" per request, in order. A reader of
// requests keeps at most one unfinished line of bounded length, so a peer
// that never ends its line cannot make it grow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

// Longer than any title: a file name of 255 bytes in any script, and the hash.
inline constexpr size_t kMaxHandOverRequest = 4096;

struct HandOverRequest {
  uint32_t hash = 0;
  std::string title;
  bool valid = false;  // a line that is not "HASH TAB TITLE" is answered "0"
};

std::string FormatHandOverRequest(uint32_t hash, std::string_view title);

class HandOverRequestReader {
 public:
  // Adds received bytes and appends every request they complete, in order.
  // False when a line grows past kMaxHandOverRequest: the peer is dropped.
  bool Feed(std::string_view bytes, std::vector<HandOverRequest>& complete);

 private:
  std::string pending_;
};

}  // namespace prambus
