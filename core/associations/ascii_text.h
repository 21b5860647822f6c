// Small helpers over ASCII text shared by the key-file and MIME code: the
// freedesktop files compare keys, globs and extensions byte by byte.
#pragma once

#include <string_view>

namespace prambus {

inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Without the spaces and tabs at both ends.
inline std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace prambus
