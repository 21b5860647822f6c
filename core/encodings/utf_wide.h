// Sixteen bytes at a time between Windows-1251 and UTF-8 or UTF-16 for the
// common case:
// ASCII mixed with the 64 Russian letters А..я, whose codes map linearly
// (0xC0..0xFF <-> U+0410..U+044F). Anything else stops the wide step and is
// left to the byte-by-byte converters, which then hand back.
#pragma once

#include <cstddef>

namespace prambus {

// Each converts whole sixteen-byte blocks from `in` (at most `size` bytes)
// into `out` while the blocks qualify, and returns how many input bytes were
// taken; `*written` receives how many output bytes. The output needs sixteen
// bytes of room beyond what the taken input produces. On machines without the
// needed instructions they take nothing.
size_t AnsiToUtf8Wide(const char* in, size_t size, char* out, size_t* written);
size_t Utf8ToAnsiWide(const char* in, size_t size, char* out, size_t* written);
// Writes two bytes (little-endian) per byte taken.
size_t AnsiToUtf16Wide(const char* in, size_t size, char* out);

// Turns the wide steps off for the whole process (each then takes nothing,
// as on a processor without the instructions) or on again. The converters
// around them must give the same bytes either way; tests run them both ways.
void SetWideStepsEnabled(bool enabled);

}  // namespace prambus
