// The state the text view's layout keeps while it lays out a block and
// while it lays out rows again after an edit (text_view_layout.cpp and the
// UTF-8 layout in text_view_utf8.cpp).
#pragma once

#include <deque>

#include "views/row_text.h"
#include "views/text_view.h"

namespace prambus {

struct TextView::ReflowState {
  struct Saved {
    RowText text;
    int width;
  };
  int oldLast = 0;          // lastRow_ before the reflow
  int next = 0;             // first old row still in its slot
  std::deque<Saved> queue;  // old rows moved aside before their slot was overwritten
  // The old row being laid out borrows its bytes from the arena, so the new
  // rows may borrow them in turn instead of copying them.
  bool sourceInArena = false;
};

// State of one LayOut call. b is where the row would restart if wrapped at
// the last break opportunity of this block; s is the first byte not yet
// copied into a row.
struct TextView::LayoutRun {
  const uint8_t* bytes;
  RowArena* arena;
  const RowArena* inPlace;  // the bytes stay where they lie in this arena
  int wrap;
  double minFill;
  int rowX, breakX;
  int s = 0, b = 0;
  bool breakSeen = false;
  bool clearTail = false;  // PendingTail is to be emptied (deferred off the hot path)
  int endedRowAt = -1;     // the last character that ended a row with a line end
  int joinedAt = -1;       // the last second half of a line-end pair
};

}  // namespace prambus
