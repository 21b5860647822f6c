// The request one copy of the program sends another: "Do you show this
// file?". For a file whose name is text (well-formed UTF-8) it is the
// decimal path hash, a tab, the window title (UTF-8) and a newline, as every
// copy has always read it. A name that is not text cannot be told by its
// title, and no copy that reads only that form can show such a file: the
// request then carries the name's bytes as a third field, after another tab,
// with "%", tabs, line breaks and the other control bytes written as "%XX"
// (upper-case hex). A copy that reads only the first form takes the third
// field for part of a title no window has, and rightly answers no.
//
// The answer is "1\n" or "0\n" per request, in order. A reader of requests
// keeps at most one unfinished line of bounded length, so a peer that never
// ends its line cannot make it grow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

// Longer than any request: a whole path of 4096 bytes, every byte written as
// "%XX", and a title.
inline constexpr size_t kMaxHandOverRequest = 16384;

struct HandOverRequest {
  uint32_t hash = 0;
  std::string title;
  std::optional<std::string> path;  // the name's bytes, for a name that is not text
  bool valid = false;               // a line of neither form is answered "0"
};

// The request for the file `path` (absolute), shown under `title`.
std::string FormatHandOverRequest(uint32_t hash, std::string_view title, std::string_view path);
// The request by hash and title alone.
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
