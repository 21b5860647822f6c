// Scanning sixteen bytes of text at once for the layout's fast path. Inline:
// the layout loop calls it for every sixteen bytes of a document.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace prambus {

struct WideStep {
  int run;        // how many leading bytes are letters, digits, non-ASCII or spaces
  int lastBlank;  // the last space among them, or -1
};

inline WideStep ScanWideStep(const uint8_t* bytes) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  // Signed compares on bytes: values 0x80..0xFF are negative.
  auto inRange = [&](char lo, char hi) {
    return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(lo - 1))),
                         _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(hi + 1))));
  };
  const __m128i nonAscii = _mm_cmplt_epi8(v, _mm_setzero_si128());
  const __m128i space = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
  const __m128i ok = _mm_or_si128(
      _mm_or_si128(nonAscii, space),
      _mm_or_si128(_mm_or_si128(inRange('0', '9'), inRange('A', 'Z')), inRange('a', 'z')));
  const unsigned okMask = static_cast<unsigned>(_mm_movemask_epi8(ok));
  const unsigned bad = ~okMask & 0xFFFFu;
  const int run = bad ? __builtin_ctz(bad) : 16;
  unsigned blanks = static_cast<unsigned>(_mm_movemask_epi8(space));
  if (run < 16) blanks &= (1u << run) - 1;
  return {run, blanks ? 31 - __builtin_clz(blanks) : -1};
}

}  // namespace prambus
