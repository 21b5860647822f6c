// What the checksums are taken of, checked after every step of an editing
// fuzzer: the bytes read in pieces of an odd size, whole and of the
// selection, are the document and its selection, the text view's through
// the inverse of its display table, the hex view's as they are.
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

inline void CheckSavedBytes(ViewBase& view, const std::string& document, bool throughTable) {
  const CodeTable inverse = throughTable ? InverseTable(view.CharTable) : IdentityTable();
  auto saved = [&](std::string s) {
    for (char& c : s) c = static_cast<char>(inverse[static_cast<uint8_t>(c)]);
    return s;
  };
  if (ReadAllSaved(view, false) != saved(document) ||
      ReadAllSaved(view, true) != saved(view.GetSelectedText())) {
    std::fprintf(stderr, "saved bytes differ from the document\n");
    std::abort();
  }
}

}  // namespace prambus::fuzz
