// What a recode cannot keep: the characters that would come out as '?'
// because the target encoding (or the Windows-1251 text every recode passes
// through) has no place for them, and the Ukrainian і and І that code page
// 866 can only give as the Latin i and I. The window asks before such a
// recode, so that no character is destroyed without the user knowing.
#pragma once

#include <cstdint>

namespace prambus {

struct RecodeLosses {
  // '?' signs the result holds where the document had something else.
  uint64_t questionMarks = 0;
  // Letters written as a different letter that looks the same.
  uint64_t lookalikes = 0;
  bool Any() const { return questionMarks != 0 || lookalikes != 0; }
};

}  // namespace prambus
