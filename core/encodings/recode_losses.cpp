// Counting what a recode would lose. The count follows the conversion step
// by step (decode to Windows-1251, then encode) over histograms of bytes, so
// it costs a read of the document and never holds a second copy of it.
#include <algorithm>

#include "encodings/code_tables.h"
#include "encodings/recode.h"

namespace prambus {
namespace {

using Histogram = std::array<uint64_t, 256>;

void AddToHistogram(std::string_view bytes, Histogram& h) {
  for (const char c : bytes) ++h[static_cast<uint8_t>(c)];
}

// The decoded text is made in pieces of about this many source bytes.
constexpr size_t kPiece = size_t{1} << 20;

// Where a piece of UTF-8 may end at or before `end`: never inside a sequence.
size_t Utf8PieceEnd(std::string_view bytes, size_t end) {
  if (end >= bytes.size()) return bytes.size();
  for (size_t back = 0; back < 4 && end - back > 0; ++back) {
    if ((static_cast<uint8_t>(bytes[end - back]) & 0xC0) != 0x80) return end - back;
  }
  return end;  // not UTF-8 there: any cut decodes the same
}

}  // namespace

RecodeLosses RecodePlan::CountLosses(std::string_view bytes) const {
  bytes = WithoutByteOrderMark(bytes);  // as Convert leaves it out
  RecodeLosses losses;
  if (!sourceMarker_) {
    // One step per byte: a byte the source table shows as '?' (other than
    // '?' itself) is lost in decoding, any other byte as its character is.
    Histogram h{};
    AddToHistogram(bytes, h);
    for (int b = 0; b < 256; ++b) {
      if (h[b] == 0) continue;
      const uint8_t c = source_[b];
      if (c == '?' && b != '?')
        losses.questionMarks += h[b];
      else if (outcome_[c] == Outcome::kQuestionMark)
        losses.questionMarks += h[b];
      else if (outcome_[c] == Outcome::kLookalike)
        losses.lookalikes += h[b];
    }
    return losses;
  }
  const uint8_t kind = source_[2];
  if (kind != kConvUtf8 && kind != kConvUtf16) {
    // Escapes and digraphs may span any cut: decoded whole. These sources
    // never decode to '?' in place of something else.
    CountPieceLosses(bytes, losses);
    return losses;
  }
  for (size_t start = 0; start < bytes.size();) {
    size_t end = std::min(bytes.size(), start + kPiece);
    if (kind == kConvUtf8) end = std::max(start + 1, Utf8PieceEnd(bytes, end));
    CountPieceLosses(bytes.substr(start, end - start), losses);
    start = end;
  }
  return losses;
}

uint64_t RecodePlan::SourceQuestionMarks(std::string_view bytes) const {
  switch (source_[2]) {
    case kConvUtf8:
      return static_cast<uint64_t>(std::count(bytes.begin(), bytes.end(), '?'));
    case kConvUtf16: {
      uint64_t n = 0;
      for (size_t i = 0; i + 1 < bytes.size(); i += 2) n += bytes[i] == '?' && bytes[i + 1] == '\0';
      return n;
    }
    default:
      return UINT64_MAX;  // every '?' decoded stands for one of the source
  }
}

void RecodePlan::CountPieceLosses(std::string_view bytes, RecodeLosses& losses) const {
  Histogram h{};
  AddToHistogram(Decode(bytes), h);
  const uint64_t decoded = h['?'];
  const uint64_t own = std::min(decoded, SourceQuestionMarks(bytes));
  losses.questionMarks += decoded - own;
  for (int c = 0; c < 256; ++c) {
    const uint64_t n = c == '?' ? own : h[c];
    if (outcome_[c] == Outcome::kQuestionMark)
      losses.questionMarks += n;
    else if (outcome_[c] == Outcome::kLookalike)
      losses.lookalikes += n;
  }
}

}  // namespace prambus
