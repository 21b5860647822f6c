#include "encodings/utf_wide.h"

#include <array>
#include <atomic>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PRAMBUS_WIDE_UTF8 1
#include <immintrin.h>
#endif

namespace prambus {

namespace {
std::atomic<bool> wideStepsEnabled{true};
}  // namespace

void SetWideStepsEnabled(bool enabled) {
  wideStepsEnabled.store(enabled, std::memory_order_relaxed);
}

#ifdef PRAMBUS_WIDE_UTF8
namespace {

// Shuffle indices that keep the bytes whose bit is set in an 8-bit mask, in
// order, packed to the front (0x80 clears the unused tail).
struct CompactTable {
  alignas(16) std::array<std::array<uint8_t, 16>, 256> keep{};
  // For 1251 -> UTF-8: from eight (lead, trail) pairs keep every lead and the
  // trail only of the letters whose bit is set.
  alignas(16) std::array<std::array<uint8_t, 16>, 256> pairs{};
  CompactTable() {
    for (int m = 0; m < 256; ++m) {
      int k = 0;
      for (int b = 0; b < 8; ++b)
        if (m & (1 << b)) keep[m][k++] = static_cast<uint8_t>(b);
      while (k < 16) keep[m][k++] = 0x80;
      k = 0;
      for (int b = 0; b < 8; ++b) {
        pairs[m][k++] = static_cast<uint8_t>(2 * b);
        if (m & (1 << b)) pairs[m][k++] = static_cast<uint8_t>(2 * b + 1);
      }
      while (k < 16) pairs[m][k++] = 0x80;
    }
  }
};

const CompactTable& Tables() {
  static const CompactTable t;
  return t;
}

bool HasShuffle() {
  static const bool has = __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt");
  return has && wideStepsEnabled.load(std::memory_order_relaxed);
}

__attribute__((target("ssse3,popcnt"))) size_t AnsiToUtf8Ssse3(const char* in, size_t size,
                                                               char* out, size_t* written) {
  const CompactTable& t = Tables();
  const __m128i zero = _mm_setzero_si128();
  size_t i = 0;
  char* o = out;
  while (i + 16 <= size) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    // Bytes 0x80..0xBF are the code page's odd characters: not for this path.
    if (_mm_movemask_epi8(_mm_cmplt_epi8(x, _mm_set1_epi8(-64))) != 0) break;
    const __m128i letter = _mm_cmplt_epi8(x, zero);
    const __m128i upperHalf = _mm_and_si128(letter, _mm_cmpgt_epi8(x, _mm_set1_epi8(-17)));
    // А..п are D0 90..D0 BF, р..я are D1 80..D1 8F.
    const __m128i lead = _mm_or_si128(
        _mm_andnot_si128(letter, x),
        _mm_and_si128(letter, _mm_sub_epi8(_mm_set1_epi8(static_cast<char>(0xD0)), upperHalf)));
    const __m128i trail =
        _mm_or_si128(_mm_set1_epi8(static_cast<char>(0x80)),
                     _mm_and_si128(_mm_sub_epi8(x, _mm_set1_epi8(0x30)), _mm_set1_epi8(0x3F)));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(letter));
    const unsigned lo = mask & 0xFF, hi = mask >> 8;
    const __m128i first =
        _mm_shuffle_epi8(_mm_unpacklo_epi8(lead, trail),
                         _mm_load_si128(reinterpret_cast<const __m128i*>(&t.pairs[lo])));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), first);
    o += 8 + _mm_popcnt_u32(lo);
    const __m128i second =
        _mm_shuffle_epi8(_mm_unpackhi_epi8(lead, trail),
                         _mm_load_si128(reinterpret_cast<const __m128i*>(&t.pairs[hi])));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), second);
    o += 8 + _mm_popcnt_u32(hi);
    i += 16;
  }
  *written = static_cast<size_t>(o - out);
  return i;
}

__attribute__((target("ssse3,popcnt"))) size_t Utf8ToAnsiSsse3(const char* in, size_t size,
                                                               char* out, size_t* written) {
  const CompactTable& t = Tables();
  const __m128i zero = _mm_setzero_si128();
  const __m128i d0 = _mm_set1_epi8(static_cast<char>(0xD0));
  const __m128i d1 = _mm_set1_epi8(static_cast<char>(0xD1));
  size_t i = 0;
  char* o = out;
  while (i + 16 <= size) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(x));
    const __m128i isD0 = _mm_cmpeq_epi8(x, d0);
    const __m128i isD1 = _mm_cmpeq_epi8(x, d1);
    unsigned leads = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(isD0, isD1)));
    // A lead in the last byte has its trail in the next block: stop before it.
    const int take = leads & 0x8000 ? 15 : 16;
    const unsigned span = take == 16 ? 0xFFFF : 0x7FFF;
    leads &= span;
    const unsigned trails = (high & ~leads) & span;
    // Every non-ASCII byte must be D0/D1 followed by a continuation byte.
    if (trails != ((leads << 1) & 0xFFFF) ||
        (static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(x, _mm_set1_epi8(-64)))) & span) !=
            trails)
      break;
    // Trail after D0 plus 0x30, after D1 plus 0x70; only А..я land in 0xC0..0xFF.
    const __m128i prevD0 = _mm_slli_si128(isD0, 1);
    const __m128i prevD1 = _mm_slli_si128(isD1, 1);
    const __m128i delta = _mm_or_si128(_mm_and_si128(prevD0, _mm_set1_epi8(0x30)),
                                       _mm_and_si128(prevD1, _mm_set1_epi8(0x70)));
    const __m128i letters = _mm_add_epi8(x, delta);
    const unsigned inRange = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmplt_epi8(letters, zero), _mm_cmpgt_epi8(letters, _mm_set1_epi8(-65)))));
    if ((inRange & trails) != trails) break;
    const unsigned keep = ~leads & span;
    const unsigned lo = keep & 0xFF, hi = keep >> 8;
    const __m128i firstIdx = _mm_load_si128(reinterpret_cast<const __m128i*>(&t.keep[lo]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(letters, firstIdx));
    o += _mm_popcnt_u32(lo);
    // The upper eight bytes moved down first, then compacted the same way.
    const __m128i upper = _mm_srli_si128(letters, 8);
    const __m128i secondIdx = _mm_load_si128(reinterpret_cast<const __m128i*>(&t.keep[hi]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(upper, secondIdx));
    o += _mm_popcnt_u32(hi);
    i += static_cast<size_t>(take);
  }
  *written = static_cast<size_t>(o - out);
  return i;
}

}  // namespace

size_t AnsiToUtf16Wide(const char* in, size_t size, char* out) {
  if (!wideStepsEnabled.load(std::memory_order_relaxed)) return 0;
  const __m128i zero = _mm_setzero_si128();
  size_t i = 0;
  while (i + 16 <= size) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    if (_mm_movemask_epi8(_mm_cmplt_epi8(x, _mm_set1_epi8(-64))) != 0) break;
    // А..я are U+0410..U+044F: the byte plus 0x350.
    const __m128i letter = _mm_cmplt_epi8(x, zero);
    const __m128i shift = _mm_set1_epi16(0x350);
    const __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(x, zero),
                                     _mm_and_si128(_mm_unpacklo_epi8(letter, letter), shift));
    const __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(x, zero),
                                     _mm_and_si128(_mm_unpackhi_epi8(letter, letter), shift));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), hi);
    i += 16;
  }
  return i;
}

size_t AnsiToUtf8Wide(const char* in, size_t size, char* out, size_t* written) {
  *written = 0;
  return HasShuffle() ? AnsiToUtf8Ssse3(in, size, out, written) : 0;
}

size_t Utf8ToAnsiWide(const char* in, size_t size, char* out, size_t* written) {
  *written = 0;
  return HasShuffle() ? Utf8ToAnsiSsse3(in, size, out, written) : 0;
}

#else

size_t AnsiToUtf16Wide(const char*, size_t, char*) {
  return 0;
}

size_t AnsiToUtf8Wide(const char*, size_t, char*, size_t* written) {
  *written = 0;
  return 0;
}

size_t Utf8ToAnsiWide(const char*, size_t, char*, size_t* written) {
  *written = 0;
  return 0;
}

#endif

}  // namespace prambus
