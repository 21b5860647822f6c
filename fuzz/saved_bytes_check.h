// What the checksums are taken of, checked after every step of an editing
// fuzzer: the bytes read in pieces of an odd size, whole and of the
// selection, are the document and its selection as saving writes them: the
// text view's through the inverse of its display table with its line ends
// as the line-end rule has them, the hex view's as they are.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "views/saved_bytes.h"

namespace prambus::fuzz {

inline std::string ReadAllSaved(ViewBase& view, bool selection) {
  const auto reader = ReadSavedBytes(view, selection);
  std::string out;
  for (auto piece = reader->Next(97); !piece.empty(); piece = reader->Next(97))
    out.append(reinterpret_cast<const char*>(piece.data()), piece.size());
  if (reader->Done() != reader->Total()) {
    std::fprintf(stderr, "saved bytes: progress does not reach its total\n");
    std::abort();
  }
  return out;
}

// `whole` and `selection` are the bytes saving would write for the document
// and for its selection, as the fuzzer models them.
inline void CheckSavedBytes(ViewBase& view, const std::string& whole,
                            const std::string& selection) {
  if (ReadAllSaved(view, false) != whole || ReadAllSaved(view, true) != selection) {
    std::fprintf(stderr, "saved bytes differ from the document\n");
    std::abort();
  }
}

}  // namespace prambus::fuzz
