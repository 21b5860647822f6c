// Big-endian 32-bit integers packed into 8-bit strings (undo record texts).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

inline void AppendBE32(std::string& s, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  s += static_cast<char>(u >> 24);
  s += static_cast<char>(u >> 16);
  s += static_cast<char>(u >> 8);
  s += static_cast<char>(u);
}

// Reads 4 bytes at pos; the caller guarantees they exist.
inline int32_t ReadBE32(std::string_view s, size_t pos) {
  uint32_t u = 0;
  for (size_t i = 0; i < 4; ++i) u = (u << 8) | static_cast<uint8_t>(s[pos + i]);
  return static_cast<int32_t>(u);
}

}  // namespace prambus
