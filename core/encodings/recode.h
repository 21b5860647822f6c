// The recode operation shared by both views: decode from a source encoding
// to Windows-1251 text, then encode into a target encoding. The document is
// converted as one piece, so the result never depends on how it is laid out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
  std::string Encode(std::string_view text) const;
  // Both sides plain tables: one composed table does the whole conversion.
  bool Composable() const { return !sourceMarker_ && !targetMarker_; }
  CodeTable Composed() const;

 private:
  // The most bytes one input byte can become in each step.
  int DecodeGrowth() const;
  int EncodeGrowth() const;
  // The exact length Encode gives for the text.
  size_t EncodedLength(std::string_view text) const;

  CodeTable source_;
  CodeTable target_;
  CodeTable inverseTarget_;
  bool sourceMarker_;
  bool targetMarker_;
};

}  // namespace prambus
