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

// About this many bytes are searched between two reports of progress.
inline constexpr size_t kSearchPieceBytes = size_t(1) << 20;

struct MatchPattern {
  std::string_view text;
  bool caseSensitive = true;  // otherwise compared in upper case (Windows-1251)
  // Without case, text and pattern are UTF-8 and compared in their folded
  // forms (FoldUtf8) instead.
  bool utf8 = false;
};

// The starts of the matches of pattern in bytes, left to right and not
// overlapping, each ending by bytes.size(). No match holds an offset of
// `breaks` (ascending) inside it: a match may end at a hard line's end but
// never run on past it. False, with starts incomplete, when progress stopped
// the search. pieceBytes is the stretch searched between two reports.
bool FindAllMatches(std::string_view bytes, const MatchPattern& pattern,
                    const std::vector<int>& breaks, const PassProgress& progress,
                    std::vector<int>& starts, size_t pieceBytes = kSearchPieceBytes);

// The bytes from the first of `starts` to the end of the last match, with
// every match (matchLength bytes) replaced by replacement: their count, and
// the bytes written to `to` (that many bytes), or returned.
size_t ReplacedSpanSize(std::span<const int> starts, size_t matchLength, size_t replacementLength);
void WriteReplacedSpan(std::string_view bytes, std::span<const int> starts, size_t matchLength,
                       std::string_view replacement, char* to);
std::string ReplacedSpan(std::string_view bytes, std::span<const int> starts, size_t matchLength,
                         std::string_view replacement);

}  // namespace prambus
