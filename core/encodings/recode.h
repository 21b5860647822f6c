// The recode operation shared by both views: decode from a source encoding
// to Windows-1251 text, then encode into a target encoding.
#pragma once

#include <string>
#include <string_view>

#include "views/view_base.h"

namespace prambus {

class RecodePlan {
 public:
  RecodePlan(const CodeTable& source, const CodeTable& target);
  // Either side is a conversion rather than a plain table.
  bool UsesConversion() const { return sourceMarker_ || targetMarker_; }
  // first: the first chunk of the document (resets Quoted-Printable's column
  // and drops a UTF-16 byte carried from an earlier recode).
  std::string Decode(std::string_view bytes, bool first) const;
  std::string Encode(std::string_view text, bool first) const;
  // Both sides plain tables: one composed table does the whole conversion.
  bool Composable() const { return !sourceMarker_ && !targetMarker_; }
  CodeTable Composed() const;

 private:
  CodeTable source_;
  CodeTable target_;
  CodeTable inverseTarget_;
  bool sourceMarker_;
  bool targetMarker_;
};

}  // namespace prambus
