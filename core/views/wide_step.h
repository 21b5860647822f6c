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

// The same under UTF-8, where the step must end on a character: ASCII
// letters, digits and spaces and well-formed two-byte sequences (Cyrillic,
// Greek, accented Latin), which take one cell each.
struct Utf8WideStep {
  int run;                // bytes taken, never ending inside a sequence
  int chars;              // characters among them
  int lastBlank;          // the byte of the last space among them, or -1
  int charsThroughBlank;  // characters up to and with that space
};

// The bits set in a 16-bit mask, without the library call a build for any
// x86-64 processor would make of __builtin_popcount.
inline int CountBits16(unsigned x) {
  x = x - ((x >> 1) & 0x5555u);
  x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
  x = (x + (x >> 4)) & 0x0F0Fu;
  return static_cast<int>((x + (x >> 8)) & 0x1Fu);
}

[[gnu::always_inline]] inline Utf8WideStep ScanUtf8WideStep(const uint8_t* bytes) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  auto inRange = [&](int lo, int hi) {  // signed bytes: 0x80..0xFF are negative
    return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(lo - 1))),
                         _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(hi + 1))));
  };
  const __m128i space = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
  const __m128i ascii = _mm_or_si128(
      space, _mm_or_si128(_mm_or_si128(inRange('0', '9'), inRange('A', 'Z')), inRange('a', 'z')));
  const unsigned lead = static_cast<unsigned>(_mm_movemask_epi8(inRange(-62, -33)));  // C2..DF
  const unsigned cont =                                                               // 80..BF
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(v, _mm_set1_epi8(-64))));
  // A lead byte counts only with a continuation byte after it, and a
  // continuation byte only after such a lead byte.
  const unsigned pairStart = lead & (cont >> 1);
  const unsigned pairEnd = pairStart << 1;
  const unsigned ok = static_cast<unsigned>(_mm_movemask_epi8(ascii)) | pairStart | pairEnd;
  const unsigned bad = ~ok & 0xFFFFu;
  const int run = bad ? __builtin_ctz(bad) : 16;
  const unsigned inRun = run == 16 ? 0xFFFFu : (1u << run) - 1;
  const unsigned blanks = static_cast<unsigned>(_mm_movemask_epi8(space)) & inRun;
  const int lastBlank = blanks ? 31 - __builtin_clz(blanks) : -1;
  const unsigned throughBlank = lastBlank >= 0 ? (2u << lastBlank) - 1 : 0;
  return {run, run - CountBits16(pairEnd & inRun), lastBlank,
          lastBlank + 1 - CountBits16(pairEnd & throughBlank)};
}

}  // namespace prambus
