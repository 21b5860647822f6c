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
  const int screen = viewHeight_ / std::max(1, LineHeight());
  return std::max(kEditLayoutRows, 2 * screen);
}

// Each step of ContinueLayout moves the first seam on by at least a row (or
// takes it away), so the loop ends; steps of kBatchTailBytes take a seam
// past the rows in view in one or two steps.
void TextView::BatchEdits(bool on) {
  batching_ = on;
  if (on) return;
  constexpr size_t kBatchTailBytes = size_t(64) << 10;
  const int through = cursorRow_ + FullEditLayoutRows();
  const int cursorRow = cursorRow_;
  while (!seams_.empty() && seams_.front() <= through) ContinueLayout(kBatchTailBytes);
  if (cursorRow_ != cursorRow) ScrollToCaret();
}

void TextView::MoveSeams(int r, int firstKept, int keptAt) {
  // In place and in order: those before r stay, those laid out again go, and
  // those kept move with their rows.
  size_t out = 0;
  for (const int s : seams_) {
    if (s < r)
      seams_[out++] = s;
    else if (firstKept >= 0 && s >= firstKept)
      seams_[out++] = keptAt + (s - firstKept);
  }
  seams_.resize(out);
}

// An edit just past a row ended early (the next of dense replacements, a key
// typed after scrolling on) lays out from that row: otherwise the seam would
// stay behind it, and every edit that leaves one adds a row to move.
void TextView::ReflowEdit(int r, int throughRow) {
  // Laid out from an earlier row, the edited rows are laid out still.
  const int asked = r;
  BackUpToCharStart(r);
  if (r < asked) throughRow = std::max(throughRow, std::min(asked + 1, lastRow_));
  // After a selection deleted for this insert, from the row before it.
  const int floor = reflowFloor_;
  reflowFloor_ = -1;
  const auto after = std::lower_bound(seams_.begin(), seams_.end(), r);
  const bool nearSeam = after != seams_.begin() && r - *(after - 1) <= kSeamReachRows;
  const int from = std::min(nearSeam ? *(after - 1) : r, floor >= 0 ? floor : r);
  if (from == r) {
    ReflowThrough(r, throughRow, EditLayoutRows());
    return;
  }
  // An edit changes row r or, with the cursor put back on row r before a
  // reflow, the row after it: both are laid out before a row may end early.
  // The cursor may stand past the end of row r (an offset from its start):
  // it keeps its character as the rows from an earlier row are laid out again.
  KeptPosition keep[] = {{&cursorCol_, &cursorRow_}, {&anchorCol_, &anchorRow_}};
  const int edited = std::min(r + 1, lastRow_);
  ReflowThrough(from, std::max(throughRow, edited), EditLayoutRows(), 0, keep);
}

// Each step lays out again from the first row ended early: the rows before it
// are as a whole layout leaves them, so from there on the new rows are too.
// A step may end a row early again, further on.
bool TextView::ContinueLayout(size_t maxBytes) {
  size_t taken = 0;
  while (!seams_.empty() && taken < maxBytes) {
    const int s = seams_.front();
    seams_.erase(seams_.begin());
    if (s > lastRow_) continue;
    // Cursor and anchor on or after that row keep their characters.
    const bool moves = cursorRow_ >= s || anchorRow_ >= s;
    KeptPosition keep[] = {{&cursorCol_, &cursorRow_}, {&anchorCol_, &anchorRow_}};
    taken += ReflowThrough(s, -1, 1, maxBytes - taken, keep);
    if (moves) {
      SettleCursor();
      UpdateCaretPoint();
    }
  }
  return seams_.empty();
}

}  // namespace prambus
