// The recode operation shared by both views: decode from a source encoding
// to Windows-1251 text, then encode into a target encoding. The document is
// converted as one piece, so the result never depends on how it is laid out.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "encodings/recode_losses.h"
#include "views/view_base.h"

namespace prambus {

class RecodePlan {
 public:
  RecodePlan(const CodeTable& source, const CodeTable& target);
  // Either side is a conversion rather than a plain table.
  bool UsesConversion() const { return sourceMarker_ || targetMarker_; }
  // Converts a whole document. False, with `out` untouched, when the result
  // would be longer than a document may be (`limit` bytes): nothing is
  // converted then.
  bool Convert(std::string_view bytes, std::string& out, int64_t limit) const;
  std::string Decode(std::string_view bytes) const;
  // A document in UTF-16 or UTF-8 may open with a byte-order mark: a mark of
  // the source's kind at the start is no character to convert (it would
  // become '?'), and is left out.
  std::string_view WithoutByteOrderMark(std::string_view bytes) const;
  std::string Encode(std::string_view text) const;
  // Both sides plain tables: one composed table does the whole conversion.
  bool Composable() const { return !sourceMarker_ && !targetMarker_; }
  CodeTable Composed() const;
  // What converting `bytes` would lose, counted without converting them
  // whole: the decoded text is made a piece at a time.
  RecodeLosses CountLosses(std::string_view bytes) const;

 private:
  // The most bytes one input byte can become in each step.
  int DecodeGrowth() const;
  int EncodeGrowth() const;
  // The exact length Encode gives for the text.
  size_t EncodedLength(std::string_view text) const;
  // Losses of one piece that ends on a character boundary of the source.
  void CountPieceLosses(std::string_view bytes, RecodeLosses& losses) const;
  // How many '?' of the decoded piece stand for a '?' of the source.
  uint64_t SourceQuestionMarks(std::string_view bytes) const;

  CodeTable source_;
  CodeTable target_;
  CodeTable inverseTarget_;
  bool sourceMarker_;
  bool targetMarker_;
  // For each Windows-1251 character, what writing it into a plain target
  // table does: kept, a '?' in its place, or a letter that looks like it.
  enum class Outcome : uint8_t { kKept, kQuestionMark, kLookalike };
  std::array<Outcome, 256> outcome_{};
};

}  // namespace prambus
