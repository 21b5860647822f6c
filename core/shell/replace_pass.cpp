#include "shell/replace_pass.h"

#include <algorithm>
#include <cstring>

#include "text/cp1251.h"
#include "text/pattern_finder.h"
#include "text/utf8_chars.h"

namespace prambus {

namespace {
// The first match in [p, p + n): the quick finder where the pattern allows
// it, else a plain comparison through the folding table.
class Finder {
 public:
  explicit Finder(const MatchPattern& pattern)
      : folded_(Folded(pattern)),
        fold_(pattern.caseSensitive ? nullptr : UpperTable1251()),
        quick_(folded_, fold_) {}

  size_t Find(const uint8_t* p, size_t n) const {
    if (quick_.Usable()) return quick_.Find(p, n);
    const auto* q = reinterpret_cast<const uint8_t*>(folded_.data());
    const uint8_t* end = p + n;
    const uint8_t* at = std::search(p, end, q, q + folded_.size(), [this](uint8_t a, uint8_t b) {
      return (fold_ ? fold_[a] : a) == b;
    });
    return at == end ? PatternFinder::npos : static_cast<size_t>(at - p);
  }

 private:
  static std::string Folded(const MatchPattern& pattern) {
    std::string s(pattern.text);
    if (!pattern.caseSensitive) UpperInPlace(s);
    return s;
  }
  std::string folded_;
  const uint8_t* fold_;
  PatternFinder quick_;
};
}  // namespace

bool FindAllMatches(std::string_view bytes, const MatchPattern& pattern,
                    const std::vector<int>& breaks, const PassProgress& progress,
                    std::vector<int>& starts, size_t pieceBytes) {
  const size_t m = pattern.text.size();
  const size_t n = bytes.size();
  if (m == 0) return true;
  if (pattern.utf8 && !pattern.caseSensitive) {
    // ASCII without letters: folding changes none of its bytes and makes no
    // such byte of another, so the text is searched as it is, uncopied.
    if (std::none_of(pattern.text.begin(), pattern.text.end(), [](char c) {
          const auto b = static_cast<uint8_t>(c);
          return b >= 0x80 || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
        }))
      return FindAllMatches(bytes, {pattern.text, true}, breaks, progress, starts, pieceBytes);
    // Folding keeps every byte's place: the matches in the folded copy are
    // the matches.
    std::string text(bytes), folded(pattern.text);
    FoldUtf8InPlace(text);
    FoldUtf8InPlace(folded);
    return FindAllMatches(text, {folded, true}, breaks, progress, starts);
  }
  const Finder finder(pattern);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t piece = std::max<size_t>(pieceBytes, 1);
  const size_t window = std::max(piece, 2 * m);
  auto nextBreak = breaks.begin();
  size_t reportAt = piece;
  size_t reported = 0;  // the last report's progress, 0 before any
  auto report = [&](size_t done) {
    if (done < reportAt) return true;
    reportAt = done + piece;
    reported = done;
    return !progress || progress(static_cast<int64_t>(done), static_cast<int64_t>(n));
  };
  for (size_t pos = 0; pos + m <= n;) {
    const size_t end = std::min(n, pos + window);
    const size_t at = finder.Find(data + pos, end - pos);
    if (at == PatternFinder::npos) {
      if (end == n) break;
      pos = end - (m - 1);  // a match may begin in the last m - 1 bytes
      if (!report(pos)) return false;
      continue;
    }
    const size_t p = pos + at;
    while (nextBreak != breaks.end() && static_cast<size_t>(*nextBreak) <= p) ++nextBreak;
    if (nextBreak != breaks.end() && static_cast<size_t>(*nextBreak) < p + m) {
      pos = p + 1;  // it would run on past a hard line's end
      continue;
    }
    starts.push_back(static_cast<int>(p));
    pos = p + m;
    if (!report(pos)) return false;
  }
  // A pass long enough to have reported hears once more that the search is
  // over: the replacing that follows cannot be stopped, and the window says so.
  if (reported > 0 && reported < n && progress)
    return progress(static_cast<int64_t>(n), static_cast<int64_t>(n));
  return true;
}

size_t ReplacedSpanSize(std::span<const int> starts, size_t matchLength, size_t replacementLength) {
  if (starts.empty()) return 0;
  const size_t first = static_cast<size_t>(starts.front());
  const size_t end = static_cast<size_t>(starts.back()) + matchLength;
  const size_t count = starts.size();
  return end - first - count * matchLength + count * replacementLength;
}

std::string ReplacedSpan(std::string_view bytes, std::span<const int> starts, size_t matchLength,
                         std::string_view replacement) {
  std::string out(ReplacedSpanSize(starts, matchLength, replacement.size()), '\0');
  if (!out.empty()) WriteReplacedSpan(bytes, starts, matchLength, replacement, out.data());
  return out;
}

void WriteReplacedSpan(std::string_view bytes, std::span<const int> starts, size_t matchLength,
                       std::string_view replacement, char* to) {
  if (starts.empty()) return;
  const size_t first = static_cast<size_t>(starts.front());
  const size_t count = starts.size();
  for (size_t i = 0; i < count; ++i) {
    const size_t at = static_cast<size_t>(starts[i]);
    const size_t from = i == 0 ? first : static_cast<size_t>(starts[i - 1]) + matchLength;
    if (at > from) std::memcpy(to, bytes.data() + from, at - from);
    to += at - from;
    if (!replacement.empty()) std::memcpy(to, replacement.data(), replacement.size());
    to += replacement.size();
  }
}

}  // namespace prambus
