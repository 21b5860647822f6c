// When a pass over the document run inside a command ("Заменить всё")
// begins to show its progress and to hear Escape, and what it shows. A short
// pass runs through without a word: a progress shown for a moment only
// flickers.
#pragma once

#include <cstdint>
#include <string>

namespace prambus {

// A pass over this many bytes or more shows its progress from its first
// report; a smaller one once it has run this long.
inline constexpr int64_t kPassLargeRegionBytes = int64_t(16) << 20;
inline constexpr int64_t kPassQuietMs = 300;

bool PassShowsProgress(int64_t total, int64_t elapsedMs);

// "Замена… 42%  (Esc — остановить)" while the pass searches; once the search
// is over (done == total) only "Замена…": the replacing that follows cannot be
// stopped.
std::string ReplaceProgressText(int64_t done, int64_t total);

}  // namespace prambus
