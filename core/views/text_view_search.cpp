// The text view's quick search: the rows are searched where they lie, in
// runs of rows that follow one another in memory (a loaded document is one
// such run per arena chunk), instead of copying and folding every hard line.
#include <algorithm>
#include <string>

#include "text/pattern_finder.h"
#include "views/text_view.h"

namespace prambus {

int TextView::FindQuickly(const PatternFinder& finder, int row, int col, int& count) {
  const size_t m = finder.Length();
  // A match counts only when it starts this many bytes from the start or
  // sooner (the limit then still holds its length).
  const int64_t lastStart = static_cast<int64_t>(count) - static_cast<int64_t>(m);
  if (lastStart < 0) return -1;
  // The last m - 1 bytes before the current run, for matches that span the
  // seam between two runs. An empty row ends a hard line as a line end does,
  // so nothing spans it.
  std::string carry, seam;
  int64_t passed = 0;  // bytes before the current run
  int64_t found = -1;
  size_t from = static_cast<size_t>(col);
  // Runs start short and double: a match near the cursor (the next of
  // dense matches) is found without gathering a long run first.
  size_t runLimit = std::min(kFirstQuickSearchRun, quickSearchRun_);
  for (int r = row; r <= lastRow_ && found < 0;) {
    if (r > row && Rows[r].empty()) {
      carry.clear();
      ++r;
      continue;
    }
    if (passed - static_cast<int64_t>(carry.size()) > lastStart) return -1;
    const uint8_t* run = Rows[r].data() + from;
    size_t len = static_cast<size_t>(Rows[r].size()) - from;
    int next = r + 1;
    while (next <= lastRow_ && len < runLimit && !Rows[next].empty() &&
           Rows[next].data() == run + len) {
      len += static_cast<size_t>(Rows[next].size());
      ++next;
    }
    if (!carry.empty() && len > 0) {
      seam.assign(carry);
      seam.append(reinterpret_cast<const char*>(run), std::min(len, m - 1));
      const size_t p = finder.Find(reinterpret_cast<const uint8_t*>(seam.data()), seam.size());
      if (p != PatternFinder::npos && p < carry.size())
        found = passed - static_cast<int64_t>(carry.size()) + static_cast<int64_t>(p);
    }
    if (found < 0) {
      const size_t p = finder.Find(run, len);
      if (p != PatternFinder::npos) found = passed + static_cast<int64_t>(p);
    }
    if (found < 0 && m > 1) {
      carry.append(reinterpret_cast<const char*>(run) + (len > m - 1 ? len - (m - 1) : 0),
                   std::min(len, m - 1));
      if (carry.size() > m - 1) carry.erase(0, carry.size() - (m - 1));
    }
    passed += static_cast<int64_t>(len);
    r = next;
    from = 0;
    runLimit = std::min(runLimit * 2, quickSearchRun_);
  }
  if (found < 0) {
    if (static_cast<int64_t>(count) - passed < static_cast<int64_t>(m)) return -1;
    count -= static_cast<int>(passed);
    return 0;
  }
  if (found > lastStart) return -1;
  count -= static_cast<int>(found);
  // The cursor on the match's first character, the anchor after its last.
  int r = row;
  int64_t c = col + found;
  while (r < lastRow_ && c >= Len(r)) c -= Len(r++);
  cursorRow_ = r;
  cursorCol_ = static_cast<int>(c);
  c += static_cast<int64_t>(m);
  while (r < lastRow_ && c > Len(r)) c -= Len(r++);
  anchorRow_ = r;
  anchorCol_ = static_cast<int>(c);
  UpdateCaretPoint();
  ScrollToCaret();
  ScrollMatchIntoView();
  return 1;
}

}  // namespace prambus
