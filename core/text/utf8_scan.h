// Well-formed UTF-8 as the Unicode standard defines it: no overlong forms,
// no surrogates, nothing above U+10FFFF. File names on this system are bytes;
// the ones that are well-formed UTF-8 are exactly those the toolkit can turn
// into text and back without a change.
#pragma once

#include <cstddef>
#include <string_view>

namespace prambus {

// The length (1 to 4) of the well-formed sequence that starts at text[at],
// or 0 when the byte there starts none.
size_t Utf8SequenceAt(std::string_view text, size_t at);

bool IsWellFormedUtf8(std::string_view text);

// The code point of a well-formed sequence of `length` bytes at text[at].
char32_t Utf8CodePointAt(std::string_view text, size_t at, size_t length);

}  // namespace prambus
