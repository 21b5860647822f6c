// "Заменить всё" in one pass over the bytes it searches: every match found
// left to right, none overlapping the one before, then the text they make
// once replaced, built in one go. The search goes piece by piece, so a long
// run can show its progress and be stopped between two pieces with nothing
// changed yet.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

// Told the bytes searched so far and in all; false stops the search.
using PassProgress = std::function<bool(int64_t done, int64_t total)>;

struct MatchPattern {
  std::string_view text;
  bool caseSensitive = true;  // otherwise compared in upper case (Windows-1251)
};

// The starts of the matches of pattern in bytes, left to right and not
// overlapping, each ending by bytes.size(). No match holds an offset of
// `breaks` (ascending) inside it: a match may end at a hard line's end but
// never run on past it. False, with starts incomplete, when progress stopped
// the search.
bool FindAllMatches(std::string_view bytes, const MatchPattern& pattern,
                    const std::vector<int>& breaks, const PassProgress& progress,
                    std::vector<int>& starts);

// The bytes from the first of `starts` to the end of the last match, with
// every match (matchLength bytes) replaced by replacement.
std::string ReplacedSpan(std::string_view bytes, std::span<const int> starts, size_t matchLength,
                         std::string_view replacement);

}  // namespace prambus
