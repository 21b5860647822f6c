// Finds a search text in large runs of bytes at memory speed: sixteen
// starting positions are tested at once against two of the text's bytes (its
// first and last, or in UTF-8 text its two rarest), and only those that pass
// both are compared in full. Without case, both sides are compared through a
// folding table (the text given already folded).
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
  // UTF-8 text compared in its folded form (FoldUtf8), the pattern given
  // folded. The quick test runs through a table of this pattern's own that
  // joins the bytes its characters' case forms hold at each place; a place
  // that passes is compared folded.
  struct Utf8Folded {};
  PatternFinder(std::string_view foldedPattern, Utf8Folded);
  // UTF-8 text compared byte for byte.
  struct Utf8Exact {};
  PatternFinder(std::string_view pattern, Utf8Exact);
  PatternFinder(const PatternFinder&) = delete;  // fold_ may point into itself
  PatternFinder& operator=(const PatternFinder&) = delete;

  // False when a character of the text has too many forms under the folding
  // table for the quick test; Find must not be used then.
  bool Usable() const { return usable_; }
  size_t Length() const { return pattern_.size(); }

  // The first occurrence in [bytes, bytes + n), or npos.
  size_t Find(const uint8_t* bytes, size_t n) const;

  // The 32-byte scan of UTF-8 patterns, where the processor has it (on by
  // default; off only to compare it with the 16-byte scan).
  static void AllowWideVectors(bool on);

 private:
  static constexpr int kMaxForms = 4;
  struct Forms {
    int count = 0;
    uint8_t bytes[kMaxForms] = {};
  };
  bool Forms256(uint8_t folded, Forms& out) const;
  bool MatchesAt(const uint8_t* p) const;
  // The first of the places the quick test passed (bit k of mask: place
  // from + k) where the pattern matches; npos: none.
  size_t FirstMatchOf(unsigned mask, const uint8_t* bytes, size_t from) const {
    for (; mask; mask &= mask - 1) {
      const size_t at = from + static_cast<size_t>(__builtin_ctz(mask));
      if (MatchesAt(bytes + at)) return at;
    }
    return npos;
  }
  // The places from..lastStart, one by one: what a vector step leaves over.
  size_t FindOneByOne(const uint8_t* bytes, size_t from, size_t lastStart) const {
    for (size_t i = from; i <= lastStart; ++i)
      if (MatchesAt(bytes + i)) return i;
    return npos;
  }
  // The quick test on the pattern's first and last bytes (first_, last_).
  void AnchorOnEnds();
  // The quick test on the two bytes of the pattern whose forms are rarest
  // in UTF-8 text: the lead bytes of Cyrillic letters would pass nearly
  // every other place.
  void AnchorOnRareUtf8Bytes();
  // Find for the two rare bytes (pattern_finder_rare.cpp): the places tested
  // 32 at a time where the processor can, with the forms' comparands made
  // once per call.
  size_t FindByRareBytes(const uint8_t* bytes, size_t n) const;
  template <int kForms>
  size_t FindByRareBytes16(const uint8_t* bytes, size_t n) const;
  template <int kForms>
  [[gnu::target("avx2")]] size_t FindByRareBytes32(const uint8_t* bytes, size_t n) const;

  std::string pattern_;
  const uint8_t* fold_;
  std::string folded_;  // under Utf8Folded: the pattern as given
  uint8_t classes_[256] = {};
  Forms first_, last_;  // the forms of the two bytes tested
  // Under AnchorOnRareUtf8Bytes: the two bytes' places in the pattern, and
  // how many forms each set holds, padded (0: the ends are tested).
  size_t firstAt_ = 0, lastAt_ = 0;
  int rareForms_ = 0;
  bool usable_ = true;
};

}  // namespace prambus
