// How often each byte value turns up in UTF-8 text of Russian and English,
// roughly: the search uses it to test the rarest bytes of a pattern first.
// In Cyrillic text the lead bytes D0 and D1 are every other byte, while a
// continuation byte is about as frequent as the letter it completes.
#pragma once

#include <cstdint>

namespace prambus {

// A relative frequency (higher: more common); only the order matters.
int Utf8ByteFrequency(uint8_t b);

}  // namespace prambus
