// The layout edits leave to be finished later: rows a reflow ended early, and
// laying out again from them in steps.
#include <algorithm>

#include "views/text_view.h"

namespace prambus {

int TextView::EditLayoutRows() {
  if (editLayoutLimit_ > 0) return editLayoutLimit_;
  if (batching_) return 1;
  return FullEditLayoutRows();
}

int TextView::FullEditLayoutRows() {
  const int screen = ViewHeight / std::max(1, LineHeight());
  return std::max(kEditLayoutRows, 2 * screen);
}

// Each step of ContinueLayout moves the first seam on by at least a row (or
// takes it away), so the loop ends; steps of kBatchTailBytes take a seam
// past the rows in view in one or two steps.
void TextView::BatchEdits(bool on) {
  batching_ = on;
  if (on) return;
  constexpr size_t kBatchTailBytes = size_t(64) << 10;
  const int through = CursorRow + FullEditLayoutRows();
  const int cursorRow = CursorRow;
  while (!seams_.empty() && seams_.front() <= through) ContinueLayout(kBatchTailBytes);
  if (CursorRow != cursorRow) ScrollToCaret();
}

void TextView::MoveSeams(int r, int firstKept, int keptAt) {
  if (seams_.empty()) return;
  std::vector<int> moved;
  moved.reserve(seams_.size());
  for (const int s : seams_) {
    if (s < r)
      moved.push_back(s);
    else if (firstKept >= 0 && s >= firstKept)
      moved.push_back(keptAt + (s - firstKept));
  }
  seams_ = std::move(moved);
}

// Each step lays out again from the first row ended early: the rows before it
// are as a whole layout leaves them, so from there on the new rows are too.
// A step may end a row early again, further on.
bool TextView::ContinueLayout(size_t maxBytes) {
  size_t taken = 0;
  while (!seams_.empty() && taken < maxBytes) {
    const int s = seams_.front();
    seams_.erase(seams_.begin());
    if (s > LastRow) continue;
    // Cursor and anchor on or after that row keep their characters.
    const bool moves = CursorRow >= s || AnchorRow >= s;
    KeptPosition keep[] = {{&CursorCol, &CursorRow}, {&AnchorCol, &AnchorRow}};
    taken += ReflowThrough(s, -1, 1, maxBytes - taken, keep);
    if (moves) {
      SettleCursor();
      UpdateCaretPoint();
    }
  }
  return seams_.empty();
}

}  // namespace prambus
