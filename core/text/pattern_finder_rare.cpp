// PatternFinder's scan on the two rarest bytes of a UTF-8 pattern. Each loop
// makes the forms' comparands once and keeps them in registers; where the
// processor has 32-byte vectors, thirty-two places are tested per step.
#include <immintrin.h>

#include "text/pattern_finder.h"

namespace prambus {

namespace {
bool& WideVectors() {
  static bool wide = __builtin_cpu_supports("avx2");
  return wide;
}
}  // namespace

void PatternFinder::AllowWideVectors(bool on) {
  WideVectors() = on && __builtin_cpu_supports("avx2");
}

size_t PatternFinder::FindByRareBytes(const uint8_t* bytes, size_t n) const {
  const bool wide = WideVectors();
  switch (rareForms_) {
    case 1:
      return wide ? FindByRareBytes32<1>(bytes, n) : FindByRareBytes16<1>(bytes, n);
    case 2:
      return wide ? FindByRareBytes32<2>(bytes, n) : FindByRareBytes16<2>(bytes, n);
    default:
      return wide ? FindByRareBytes32<4>(bytes, n) : FindByRareBytes16<4>(bytes, n);
  }
}

template <int kForms>
size_t PatternFinder::FindByRareBytes16(const uint8_t* bytes, size_t n) const {
  const size_t lastStart = n - pattern_.size();
  __m128i first[kForms], last[kForms];
  for (int k = 0; k < kForms; ++k) {
    first[k] = _mm_set1_epi8(static_cast<char>(first_.bytes[k]));
    last[k] = _mm_set1_epi8(static_cast<char>(last_.bytes[k]));
  }
  size_t i = 0;
  for (; i + 15 <= lastStart; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + firstAt_));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + lastAt_));
    __m128i ea = _mm_cmpeq_epi8(a, first[0]), eb = _mm_cmpeq_epi8(b, last[0]);
    for (int k = 1; k < kForms; ++k) {
      ea = _mm_or_si128(ea, _mm_cmpeq_epi8(a, first[k]));
      eb = _mm_or_si128(eb, _mm_cmpeq_epi8(b, last[k]));
    }
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(ea, eb)));
    if (const size_t at = FirstMatchOf(mask, bytes, i); at != npos) return at;
  }
  return FindOneByOne(bytes, i, lastStart);
}

template <int kForms>
[[gnu::target("avx2")]] size_t PatternFinder::FindByRareBytes32(const uint8_t* bytes,
                                                                size_t n) const {
  const size_t lastStart = n - pattern_.size();
  __m256i first[kForms], last[kForms];
  for (int k = 0; k < kForms; ++k) {
    first[k] = _mm256_set1_epi8(static_cast<char>(first_.bytes[k]));
    last[k] = _mm256_set1_epi8(static_cast<char>(last_.bytes[k]));
  }
  size_t i = 0;
  for (; i + 31 <= lastStart; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i + firstAt_));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i + lastAt_));
    __m256i ea = _mm256_cmpeq_epi8(a, first[0]), eb = _mm256_cmpeq_epi8(b, last[0]);
    for (int k = 1; k < kForms; ++k) {
      ea = _mm256_or_si256(ea, _mm256_cmpeq_epi8(a, first[k]));
      eb = _mm256_or_si256(eb, _mm256_cmpeq_epi8(b, last[k]));
    }
    const unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(ea, eb)));
    if (const size_t at = FirstMatchOf(mask, bytes, i); at != npos) return at;
  }
  return FindOneByOne(bytes, i, lastStart);
}

}  // namespace prambus
