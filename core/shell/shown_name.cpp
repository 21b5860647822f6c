#include "shell/shown_name.h"

#include "text/utf8_scan.h"

namespace prambus {

std::string ShownPathOf(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(path.size());
  for (size_t i = 0; i < path.size();) {
    const size_t n = Utf8SequenceAt(path, i);
    const auto byte = static_cast<unsigned char>(path[i]);
    if (n == 0) {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0x0F];
      ++i;
      continue;
    }
    if (byte < 0x20 || byte == 0x7F)
      shown += ' ';
    else
      shown.append(path.substr(i, n));
    i += n;
  }
  return shown;
}

std::string ShownNameOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return ShownPathOf(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string QuotedPath(std::string_view path) {
  return "«" + ShownPathOf(path) + "»";
}

}  // namespace prambus
