// Finds a search text in large runs of bytes at memory speed: sixteen
// starting positions are tested at once against the text's first and last
// characters, and only those that pass both are compared in full. Without
// case, both sides are compared through a folding table (the text given
// already folded).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace prambus {

class PatternFinder {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  // fold: 256 entries, or null for an exact comparison.
  PatternFinder(std::string_view pattern, const uint8_t* fold);

  // False when a character of the text has too many forms under the folding
  // table for the quick test; Find must not be used then.
  bool Usable() const { return usable_; }
  size_t Length() const { return pattern_.size(); }

  // The first occurrence in [bytes, bytes + n), or npos.
  size_t Find(const uint8_t* bytes, size_t n) const;

 private:
  static constexpr int kMaxForms = 4;
  struct Forms {
    int count = 0;
    uint8_t bytes[kMaxForms] = {};
  };
  bool Forms256(uint8_t folded, Forms& out) const;
  bool MatchesAt(const uint8_t* p) const;

  std::string pattern_;
  const uint8_t* fold_;
  Forms first_, last_;
  bool usable_ = true;
};

}  // namespace prambus
