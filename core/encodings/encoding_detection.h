// What encoding a file's bytes are probably in, judged from its first bytes:
// a byte-order mark; text that is valid UTF-8 and not plain ASCII, or with
// plenty of UTF-8 sequences and only a few stray bytes; otherwise,
// for text with Cyrillic bytes, the most probable of the single-byte
// Cyrillic encodings by the letter statistics of Russian and Ukrainian.
// Files with NUL bytes or many control codes are binary and get no guess,
// and so does text whose statistics leave the choice unclear: such a file
// opens as it would without detection.
#pragma once

#include <cstddef>
#include <string_view>

namespace prambus {

// How much of a file's beginning detection needs to look at.
inline constexpr size_t kDetectionSample = 64 * 1024;

enum class DetectionBasis {
  kPlainAscii,     // nothing but ASCII (or nothing at all): no guess
  kBinary,         // NUL bytes or control codes: no guess
  kUnclear,        // non-ASCII text no candidate explains well enough: no guess
  kByteOrderMark,  // UTF-8 or UTF-16 by its mark
  kValidUtf8,      // multi-byte sequences, all of them valid UTF-8
  kMostlyUtf8,     // many valid UTF-8 sequences and a few stray bytes
  kLetterStatistics,
};

struct EncodingGuess {
  std::string_view id;  // a catalogue identifier; empty when there is no guess
  DetectionBasis basis = DetectionBasis::kPlainAscii;
  size_t byteOrderMark = 0;  // the mark's length when one was found
};

// `sample` is the file's beginning; `wholeFile` says it is all of it, so a
// UTF-8 sequence cut off at its end is an error rather than the sample's cut.
EncodingGuess DetectEncoding(std::string_view sample, bool wholeFile);

}  // namespace prambus
