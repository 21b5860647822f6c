#include "views/char_class.h"

#include <cstring>

namespace prambus {

uint8_t CharClass[256];
unsigned CharClassGeneration = 0;

void ResetTextCharClass() {
  ++CharClassGeneration;
  std::memset(CharClass, kWordChar, sizeof CharClass);
  CharClass[9] = kBlank;
  CharClass[32] = kBlank;
  for (const char* p = "])},.:;!?->"; *p; ++p) CharClass[static_cast<uint8_t>(*p)] = kClosingPunct;
  for (const char* p = "[({<"; *p; ++p) CharClass[static_cast<uint8_t>(*p)] = kOpeningBracket;
  CharClass[10] = kLineFeed;
  CharClass[13] = kCarriageReturn;
}

void SetUniformCharClass(uint8_t kind) {
  ++CharClassGeneration;
  std::memset(CharClass, kind, sizeof CharClass);
}

}  // namespace prambus
