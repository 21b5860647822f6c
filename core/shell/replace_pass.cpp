#include "shell/replace_pass.h"

#include <algorithm>
#include <cstring>

#include "text/cp1251.h"
#include "text/pattern_finder.h"

namespace prambus {

namespace {
// About this many bytes are searched between two reports of progress.
constexpr size_t kPiece = size_t(1) << 20;

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
                    std::vector<int>& starts) {
  const size_t m = pattern.text.size();
  const size_t n = bytes.size();
  if (m == 0) return true;
  const Finder finder(pattern);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t window = std::max(kPiece, 2 * m);
  auto nextBreak = breaks.begin();
  size_t reportAt = kPiece;
  auto report = [&](size_t done) {
    if (done < reportAt) return true;
    reportAt = done + kPiece;
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
  return true;
}

std::string ReplacedSpan(std::string_view bytes, std::span<const int> starts, size_t matchLength,
                         std::string_view replacement) {
  if (starts.empty()) return {};
  const size_t first = static_cast<size_t>(starts.front());
  const size_t end = static_cast<size_t>(starts.back()) + matchLength;
  const size_t count = starts.size();
  std::string out;
  out.resize(end - first - count * matchLength + count * replacement.size());
  char* to = out.data();
  for (size_t i = 0; i < count; ++i) {
    const size_t at = static_cast<size_t>(starts[i]);
    const size_t from = i == 0 ? first : static_cast<size_t>(starts[i - 1]) + matchLength;
    if (at > from) std::memcpy(to, bytes.data() + from, at - from);
    to += at - from;
    if (!replacement.empty()) std::memcpy(to, replacement.data(), replacement.size());
    to += replacement.size();
  }
  return out;
}

}  // namespace prambus
