#include "text/pattern_finder.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "text/utf8_byte_frequency.h"
#include "text/utf8_chars.h"

namespace prambus {

PatternFinder::PatternFinder(std::string_view pattern, const uint8_t* fold)
    : pattern_(pattern), fold_(fold) {
  AnchorOnEnds();
}

PatternFinder::PatternFinder(std::string_view pattern, Utf8Exact)
    : pattern_(pattern), fold_(nullptr) {
  AnchorOnRareUtf8Bytes();
}

void PatternFinder::AnchorOnEnds() {
  if (pattern_.empty()) return;
  usable_ = Forms256(static_cast<uint8_t>(pattern_.front()), first_) &&
            Forms256(static_cast<uint8_t>(pattern_.back()), last_);
}

void PatternFinder::AnchorOnRareUtf8Bytes() {
  const size_t m = pattern_.size();
  if (m == 0) return;
  // The two places whose forms are rarest together; a place with too many
  // forms for the quick test is never chosen.
  constexpr int kUnusable = 1 << 30;
  auto rarity = [this](size_t k, Forms& forms) {
    if (!Forms256(static_cast<uint8_t>(pattern_[k]), forms)) return kUnusable;
    int sum = 0;
    for (int f = 0; f < forms.count; ++f) sum += Utf8ByteFrequency(forms.bytes[f]);
    return sum;
  };
  int best = kUnusable, second = kUnusable;
  Forms forms;
  for (size_t k = 0; k < m; ++k) {
    const int r = rarity(k, forms);
    if (r < best) {
      second = best, lastAt_ = firstAt_, last_ = first_;
      best = r, firstAt_ = k, first_ = forms;
    } else if (r < second) {
      second = r, lastAt_ = k, last_ = forms;
    }
  }
  if (m == 1) second = best, lastAt_ = firstAt_, last_ = first_;
  usable_ = best < kUnusable && second < kUnusable;
  if (!usable_) return;
  // Both sets padded with their first byte to 1, 2 or 4 forms, the number
  // of comparisons the scan makes at each place.
  const int most = std::max(first_.count, last_.count);
  rareForms_ = most == 1 ? 1 : most == 2 ? 2 : 4;
  for (Forms* f : {&first_, &last_})
    for (int k = f->count; k < rareForms_; ++k) f->bytes[k] = f->bytes[0];
}

PatternFinder::PatternFinder(std::string_view foldedPattern, Utf8Folded)
    : fold_(classes_), folded_(foldedPattern) {
  // Bytes in one class share its smallest member.
  for (int b = 0; b < 256; ++b) classes_[b] = static_cast<uint8_t>(b);
  auto root = [this](uint8_t b) {
    while (classes_[b] != b) b = classes_[b];
    return b;
  };
  auto join = [&](uint8_t a, uint8_t b) {
    a = root(a), b = root(b);
    if (a != b) classes_[std::max(a, b)] = std::min(a, b);
  };
  const auto* q = reinterpret_cast<const uint8_t*>(folded_.data());
  const size_t m = folded_.size();
  std::string form;
  for (size_t k = 0; k < m;) {
    const int len = Utf8LengthAtEnd(q + k, m - k);
    if (len == 1 && q[k] >= 'a' && q[k] <= 'z') join(q[k], static_cast<uint8_t>(q[k] - 32));
    if (len == 2) {
      // Case forms other than the folded one are two bytes long as well.
      const char32_t c = DecodeUtf8(q + k, 2);
      for (char32_t u = 0x80; u < 0x800; ++u) {
        if (u == c || FoldCase(u) != c) continue;
        form.clear();
        AppendUtf8(form, u);
        join(q[k], static_cast<uint8_t>(form[0]));
        join(q[k + 1], static_cast<uint8_t>(form[1]));
      }
    }
    k += static_cast<size_t>(len);
  }
  for (int b = 0; b < 256; ++b) classes_[b] = root(static_cast<uint8_t>(b));
  pattern_.resize(m);
  for (size_t k = 0; k < m; ++k) pattern_[k] = static_cast<char>(classes_[q[k]]);
  AnchorOnRareUtf8Bytes();
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
  return folded_.empty() ||
         FoldedEquals(p, reinterpret_cast<const uint8_t*>(folded_.data()), folded_.size());
}

size_t PatternFinder::Find(const uint8_t* bytes, size_t n) const {
  const size_t m = pattern_.size();
  if (m == 0 || n < m) return npos;
  if (rareForms_ > 0) return FindByRareBytes(bytes, n);
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
    const unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(anyOf(head, first_), anyOf(tail, last_))));
    if (const size_t at = FirstMatchOf(mask, bytes, i); at != npos) return at;
  }
  return FindOneByOne(bytes, i, lastStart);
}

}  // namespace prambus
