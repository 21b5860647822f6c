#include "text/line_ends.h"

namespace prambus {

std::string WithLineEnds(std::string_view text, std::string_view lineEnd) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    // A pair of two different line-end characters is one line end.
    if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != c)
      ++i;
    out += lineEnd;
  }
  return out;
}

}  // namespace prambus
