#include "text/pattern_finder.h"

#include <emmintrin.h>

#include <cstring>

namespace prambus {

PatternFinder::PatternFinder(std::string_view pattern, const uint8_t* fold)
    : pattern_(pattern), fold_(fold) {
  if (pattern_.empty()) return;
  usable_ = Forms256(static_cast<uint8_t>(pattern_.front()), first_) &&
            Forms256(static_cast<uint8_t>(pattern_.back()), last_);
}

// Every byte that compares equal to `folded`: itself without folding, else
// each byte the table folds to it (none when the table never gives it).
bool PatternFinder::Forms256(uint8_t folded, Forms& out) const {
  out.count = 0;
  for (int b = 0; b < 256; ++b) {
    const uint8_t seen = fold_ ? fold_[b] : static_cast<uint8_t>(b);
    if (seen != folded) continue;
    if (out.count == kMaxForms) return false;
    out.bytes[out.count++] = static_cast<uint8_t>(b);
  }
  return true;
}

bool PatternFinder::MatchesAt(const uint8_t* p) const {
  const auto* q = reinterpret_cast<const uint8_t*>(pattern_.data());
  const size_t m = pattern_.size();
  if (!fold_) return std::memcmp(p, q, m) == 0;
  for (size_t k = 0; k < m; ++k)
    if (fold_[p[k]] != q[k]) return false;
  return true;
}

size_t PatternFinder::Find(const uint8_t* bytes, size_t n) const {
  const size_t m = pattern_.size();
  if (m == 0 || n < m) return npos;
  const size_t lastStart = n - m;
  auto anyOf = [](__m128i v, const Forms& f) {
    __m128i eq = _mm_setzero_si128();
    for (int k = 0; k < f.count; ++k)
      eq = _mm_or_si128(eq, _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(f.bytes[k]))));
    return eq;
  };
  size_t i = 0;
  for (; i + 15 <= lastStart; i += 16) {
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + m - 1));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(anyOf(head, first_), anyOf(tail, last_))));
    while (mask) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (MatchesAt(bytes + at)) return at;
      mask &= mask - 1;
    }
  }
  for (; i <= lastStart; ++i)
    if (MatchesAt(bytes + i)) return i;
  return npos;
}

}  // namespace prambus
