// Layout of the text view: appending text block by block, local reflow after
// an edit, and the full relayout on font, wrap width or glyph changes.
#include <algorithm>
#include <cstring>
#include <utility>

#include "settings/settings.h"
#include "views/char_class.h"
#include "views/nonprinting.h"
#include "views/text_view.h"
#include "views/text_view_layout_state.h"
#include "views/wide_step.h"

namespace prambus {

TextView::TextView(Canvas* canvas) : ViewBase(canvas), arena_(std::make_unique<RowArena>()) {
  const int shag = ShagInEffect();
  Rows.resize(shag);
  RowWidths.assign(shag, 0);
  ResetWidths();
  ResetTextCharClass();
}

TextView::~TextView() = default;

std::string_view TextView::GetRow(int row) const {
  if (row < 0 || row >= static_cast<int>(Rows.size())) return {};
  return Rows[row].view();
}

int64_t TextView::GetTextLength() const {
  int64_t n = 0;
  for (int r = 0; r <= lastRow_; ++r) n += Rows[r].size();
  return n;
}

void TextView::NoteLength(int64_t length) {
  knownLength_ = length;
  changesAtKnown_ = RowText::Changes();
  addedAtKnown_ = RowText::BytesAdded();
}

// Summing the rows of a document near the largest size takes tens of
// milliseconds, too long for every key: the length last known plus every
// byte added to rows since bounds the length from above, and the rows are
// summed only when that bound leaves no room. With no row changed since, the
// length known is exact, so a key refused again and again costs nothing.
bool TextView::HasRoomFor(int64_t added) {
  if (knownLength_ < 0 || RowText::Changes() != changesAtKnown_) {
    const int64_t bound =
        knownLength_ + static_cast<int64_t>(RowText::BytesAdded() - addedAtKnown_);
    if (knownLength_ >= 0 && bound + added <= LengthLimit) return true;
    NoteLength(GetTextLength());
  }
  return knownLength_ + added <= LengthLimit;
}

int TextView::MeasureChar(uint8_t c) {
  char s[1] = {static_cast<char>(ShowNonPrinting && c <= 32 ? kNonPrintingGlyphs[c] : c)};
  int w = canvas_->TextWidth(std::string_view(s, 1));
  if (CharWidths[c] != w) infoValid_ = false;
  CharWidths[c] = w;
  return w;
}

void TextView::ResetWidths() {
  ResetWidthCache();
  allMeasured_ = false;
  infoValid_ = false;
  if (!ShowNonPrinting) CharWidths[9] = 8 * canvas_->TextWidth(" ");
}

void TextView::ResetLayoutState() {
  PrevChar = 0;
  RowX = 0;
  BreakX = 0;
  PendingTail.clear();
}

void TextView::NewRow() {
  ++lastRow_;
  if (lastRow_ >= static_cast<int>(Rows.size())) {
    const size_t grown = Rows.size() + ShagInEffect();
    Rows.resize(grown);
    RowWidths.resize(grown, 0);
  }
  if (reflow_ && lastRow_ == reflow_->next && lastRow_ <= reflow_->oldLast) {
    reflow_->queue.push_back({std::move(Rows[lastRow_]), RowWidths[lastRow_]});
    RowWidths[lastRow_] = 0;
    ++reflow_->next;
  }
}

void TextView::AppendBytes(const uint8_t* bytes, int count) {
  if (count <= 0) return;
  LayOut(bytes, count);
}

// Lays bytes out at the end of the rows, continuing the last row;
// PendingTail carries the characters after a break that lay in an earlier
// block. Word characters and spaces take the inline path; everything else
// goes through LayOutOther and the wrap through WrapRow. The widths of all
// codes are measured first, so the hot path only adds cached integers.
void TextView::LayOut(const uint8_t* bytes, int count) {
  if (utf8_) {
    LayOutUtf8(bytes, count);
    return;
  }
  widest_ = -1;
  if (count <= 0) {
    RowWidths[lastRow_] = RowX;
    return;
  }
  // Reflowed rows are few and short-lived: they take owned buffers, so that
  // editing does not keep adding copies to the load arena.
  LayoutRun run{bytes,
                reflow_ ? nullptr : arena_.get(),
                reflow_ && reflow_->sourceInArena ? arena_.get() : nullptr,
                WrapWidth,
                WrapWidth * MinFill,
                RowX,
                BreakX};
  if (infoGeneration_ != CharClassGeneration) allMeasured_ = false, infoValid_ = false;
  if (!infoValid_) BuildLayoutInfo();
  const uint32_t* info = layoutInfo_;
  const int wrap = run.wrap;
  int rowX = run.rowX, breakX = run.breakX, b = 0;
  bool spaceSeen = false;
  // The hot loop keeps the row state in locals; the rare paths take it from
  // and give it back to `run`.
  const auto spill = [&] {
    run.rowX = rowX;
    run.breakX = breakX;
    run.b = b;
    run.breakSeen |= spaceSeen;
    run.clearTail |= spaceSeen;
    spaceSeen = false;
  };
  const auto reload = [&] {
    rowX = run.rowX;
    breakX = run.breakX;
    b = run.b;
  };
  const int uniform = uniformWidth_;
  for (int i = 0; i < count; ++i) {
    if (uniform > 0 && i + 16 <= count) {
      // Sixteen bytes at a time: a run of letters, digits, non-ASCII
      // characters and spaces of one width advances without a branch per byte.
      const WideStep step = ScanWideStep(bytes + i);
      if (step.run > 0) {
        const int next = rowX + step.run * uniform;
        if (next <= wrap) {
          if (step.lastBlank >= 0) {
            b = i + step.lastBlank + 1;
            breakX = rowX + (step.lastBlank + 1) * uniform;
            spaceSeen = true;
          }
          rowX = next;
          i += step.run - 1;
          continue;
        }
      }
    }
    const uint32_t e = info[bytes[i]];
    const int w = static_cast<int>(e & kInfoWidth);
    if (e & kInfoOther) {
      spill();
      const uint8_t k = CharClass[bytes[i]];
      int advance = w;
      if (LayOutOther(run, i, bytes[i], k, advance)) WrapRow(run, i, w, k, advance);
      reload();
      continue;
    } else {
      // Blanks are frequent and unpredictable: select with masks, not branches.
      const int next = rowX + w;
      const int blank = -static_cast<int>((e >> 30) & 1);
      const int blankBreakX = next <= wrap ? next : rowX;
      b += (i + 1 - b) & blank;
      breakX += (blankBreakX - breakX) & blank;
      spaceSeen |= blank != 0;
      rowX = next;
      if (next <= wrap) continue;
    }
    spill();
    WrapRow(run, i, w);
    reload();
  }
  spill();
  if (run.clearTail) PendingTail.clear();
  const int s = run.s;
  // The tail and the last character are taken before the last row takes its
  // bytes: when the block lies in the arena above its top, that append moves
  // the bytes down, and what lay at `bytes` is no longer the block.
  PrevChar = run.joinedAt == count - 1 ? 0 : bytes[count - 1];
  if (!run.breakSeen) {
    // No break opportunity in this block: the whole block extends the tail.
    PendingTail.append(reinterpret_cast<const char*>(bytes), count);
  } else {
    const int from = std::max(b, s);
    PendingTail.assign(reinterpret_cast<const char*>(bytes) + from, count - from);
  }
  if (s < count) AppendRun(Rows[lastRow_], bytes + s, count - s, run);
  RowWidths[lastRow_] = rowX;
  RowX = rowX;
  BreakX = run.breakX;
}

// Per code: its width, and whether it is a plain blank (break after it,
// handled inline) or needs the general path. Every code is measured first.
void TextView::BuildLayoutInfo() {
  for (int c = 0; c < 256; ++c)
    if (CharWidths[c] < 0) MeasureChar(static_cast<uint8_t>(c));
  allMeasured_ = true;
  for (int c = 0; c < 256; ++c) {
    const uint8_t k = CharClass[c];
    const uint32_t w = static_cast<uint32_t>(std::clamp(CharWidths[c], 0, 1 << 24));
    const bool plainBlank = k == kBlank && !(c == 9 && !ShowNonPrinting);
    layoutInfo_[c] = w | (k == kWordChar ? 0 : plainBlank ? kInfoSpace : kInfoOther);
  }
  infoGeneration_ = CharClassGeneration;
  infoValid_ = true;
  CheckUniformWidth();
  CheckUtf8UniformWidth();
}

// The bytes a wide step may take: letters, digits, every non-ASCII code and
// the space, when all of them are word characters (the space a blank) of one
// width. Everything else takes the byte-by-byte path.
void TextView::CheckUniformWidth() {
  uniformWidth_ = 0;
  if (ShowNonPrinting || !allowWideSteps_) return;
  const int w = CharWidths[static_cast<uint8_t>('a')];
  if (w <= 0 || CharClass[static_cast<uint8_t>(' ')] != kBlank ||
      CharWidths[static_cast<uint8_t>(' ')] != w)
    return;
  for (int c = 0; c < 256; ++c) {
    const bool wide =
        (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80;
    if (wide && (CharClass[c] != kWordChar || CharWidths[c] != w)) return;
  }
  uniformWidth_ = w;
}

// Tabs, punctuation, brackets and line ends. Returns whether the row must be
// wrapped before the next character.
bool TextView::LayOutOther(LayoutRun& run, int i, uint8_t c, uint8_t k, int& w) {
  int& rowX = run.rowX;
  switch (k) {
    case kBlank:
      run.b = i + 1;
      run.breakSeen = true;
      run.clearTail = true;
      run.breakX = rowX;
      if (c == 9 && !ShowNonPrinting) {
        const int before = rowX;
        rowX = w > 0 ? (rowX / w + 1) * w : rowX;
        w = rowX - before;
      } else
        rowX += w;
      if (rowX <= run.wrap) run.breakX = rowX;
      break;
    case kClosingPunct:
      rowX += w;
      if (rowX <= run.wrap) {
        run.breakX = rowX;
        run.clearTail = true;
        run.b = i + 1;
        run.breakSeen = true;
      }
      break;
    case kOpeningBracket:
      run.breakX = rowX;
      run.clearTail = true;
      run.b = i;
      run.breakSeen = true;
      rowX += w;
      break;
    case kBreakEither:
      run.breakX = rowX;
      run.clearTail = true;
      run.breakSeen = true;
      rowX += w;
      if (rowX > run.wrap) {
        run.b = i;
      } else {
        run.breakX = rowX;
        run.b = i + 1;
      }
      break;
    default: {  // line feed or carriage return
      run.breakSeen = true;
      const uint8_t* bytes = run.bytes;
      const uint8_t prev = i > 0 ? (run.endedRowAt == i - 1 ? bytes[i - 1] : 0) : PrevChar;
      const uint8_t pk = CharClass[prev];
      if (lastRow_ > 0 && pk > 4 && pk != k) {
        // Second half of a CR LF or LF CR pair: it joins the previous row.
        if (run.inPlace)
          AppendRun(Rows[lastRow_ - 1], bytes + i, 1, run);
        else
          Rows[lastRow_ - 1].Append(&c, 1, run.arena);
        run.s += 1;
        run.joinedAt = i;
      } else {
        AppendRun(Rows[lastRow_], bytes + run.s, i - run.s + 1, run);
        RowWidths[lastRow_] = rowX;
        NewRow();
        rowX = 0;
        run.breakX = 0;
        run.clearTail = true;
        run.s = i + 1;
        run.endedRowAt = i;
      }
      return false;
    }
  }
  return rowX > run.wrap;
}

void TextView::AppendRun(RowText& row, const uint8_t* p, int n, const LayoutRun& run) {
  if (run.inPlace)
    row.AppendInPlace(p, n, *run.inPlace);
  else
    row.Append(p, n, run.arena);
}

// The row being built is wider than the wrap width before character i.
void TextView::WrapRow(LayoutRun& run, int i, int w, uint8_t k, int advance) {
  if (advance < 0) advance = w;
  int& s = run.s;
  int& b = run.b;
  if (!(s < i || !Rows[lastRow_].empty())) return;  // a single character keeps its row
  if (run.clearTail) {
    PendingTail.clear();
    run.clearTail = false;
  }
  run.breakSeen = true;
  // Break inside the word when the last break leaves the row too empty, or
  // when it lies at or before the start of the row being built. At the start
  // of a block (b = 0) the break lies before the pending tail, which may be
  // the whole row so far: the row has no break then, however the text came
  // in blocks (a wrap width of 0 makes the fill test pass every time).
  const int keptBeforeBreak =
      Rows[lastRow_].size() - (b == 0 ? static_cast<int>(PendingTail.size()) : 0);
  const bool breakLeavesRowEmpty = b < s || (b == s && keptBeforeBreak <= 0);
  if (run.breakX < run.minFill || breakLeavesRowEmpty) {
    b = i;
    run.breakX = run.rowX - advance;
    PendingTail.clear();
  }
  if (b > s) AppendRun(Rows[lastRow_], run.bytes + s, b - s, run);
  RowWidths[lastRow_] = run.breakX;
  NewRow();
  if (b == 0 && !PendingTail.empty()) {
    RowText& prev = Rows[lastRow_ - 1];
    prev.Truncate(prev.size() - static_cast<int>(PendingTail.size()));
  }
  if (b < i) {
    AppendRun(Rows[lastRow_], run.bytes + b, i - b, run);
    RowWidths[lastRow_] = run.rowX - run.breakX;
    s = i;
  } else {
    s = b;
    if (b > i)
      run.breakX = run.rowX;
    else if (b == i && PendingTail.empty())
      // The new row holds character i alone, at its start: it takes its own
      // width there (a tab reaches its first stop), and a blank hanging
      // before it (one that began its row and did not fit) is in neither
      // row's width.
      run.breakX = run.rowX - w;
  }
  if (!PendingTail.empty()) Rows[lastRow_].Insert(0, PendingTail);
  run.rowX -= run.breakX;
  run.breakX = 0;
  PendingTail.clear();
  // A wide character can leave the moved tail still too wide: break again
  // before it, so that only a single character is ever wider than the wrap.
  if (run.rowX > run.wrap) {
    WrapRow(run, i, w, k, advance);
    return;
  }
  // Punctuation that did not fit went to the new row with its word, where it
  // fits: the break after it is one, as in a layout begun at this row (a
  // reflow after an edit starts at a row; a row's layout must not depend on
  // how the text before it wrapped).
  if ((k == kClosingPunct || k == kBreakEither) && s <= i) {
    run.b = i + 1;
    run.breakX = run.rowX;
    run.breakSeen = run.clearTail = true;
  }
}

TextView::RowMemory TextView::MemoryUse() const {
  RowMemory m;
  m.arena = arena_->BytesReserved();
  m.rowsUsed = Rows.size() * sizeof(RowText);
  m.rowsReserved = Rows.capacity() * sizeof(RowText);
  m.widthsUsed = RowWidths.size() * RowWidths.BytesPerWidth();
  m.widthsReserved = RowWidths.capacity() * RowWidths.BytesPerWidth();
  for (const RowText& row : Rows)
    if (row.owned()) m.edited += static_cast<size_t>(row.size());
  return m;
}

void TextView::ResizeArraysToFit() {
  const int shag = ShagInEffect();
  const size_t want = (static_cast<size_t>(lastRow_) / shag + 1) * shag;
  Rows.resize(want);
  RowWidths.resize(want, 0);
}

bool TextView::MayEndRowEarly(int throughRow, int earlyRows) const {
  const ReflowState& st = *reflow_;
  const RowText* next = !st.queue.empty()       ? &st.queue.front().text
                        : st.next <= st.oldLast ? &Rows[st.next]
                                                : nullptr;
  const int firstUnread = st.next - static_cast<int>(st.queue.size());
  // A row an earlier edit ended early a little further on is laid out as
  // well: the two seams become one, so that edits going on through a
  // paragraph (typing, each replacement of "Заменить всё") keep one seam
  // ahead of them and the row count, and the rows after, still.
  const auto seam = std::lower_bound(seams_.begin(), seams_.end(), firstUnread);
  const bool seamAhead =
      seam != seams_.end() && *seam - firstUnread < std::max(earlyRows, kSeamReachRows);
  // Nor is a row ended early right before the last row of its paragraph:
  // taking that row in costs no more than laying it out later.
  return next && !next->empty() && !IsLineEnd((*next)[0]) && !IsLineEnd(next->back()) &&
         firstUnread > throughRow && !seamAhead && !Rows[lastRow_].empty() &&
         !IsLineEnd(Rows[lastRow_].back());
}

// A row starts where the old row started when the row being built holds as
// many bytes as that old row, the last ones laid out; a row's layout depends
// only on the text from its start, so the old row and those after it are
// what laying out on would give, unless the old row was ended early or may
// have been edited: an edit changes the row a reflow starts from or the one
// after it (the cursor put back on the row before), or rows through
// lastEdited.
bool TextView::RowRepeatsOldRow(int oldRow, int oldSize, int lastEdited) const {
  const RowText& row = Rows[lastRow_];
  return oldSize > 0 && row.size() == oldSize && oldRow > lastEdited && !IsLineEnd(row[0]) &&
         !std::binary_search(seams_.begin(), seams_.end(), oldRow);
}

void TextView::ReflowFrom(int r) {
  ReflowEdit(r, -1);
}

size_t TextView::ReflowThrough(int r, int throughRow, int earlyRows, size_t earlyBytes,
                               std::span<KeptPosition> keep) {
  // The widest width survives when no row laid out again was as wide as it.
  const int widestBefore = widest_;
  int consumedAtWidest = 0;  // rows of that width laid out again
  auto consume = [&](int width) {
    if (width == widestBefore) ++consumedAtWidest;
  };
  auto unconsume = [&](int width) {
    if (width == widestBefore) --consumedAtWidest;
  };
  while (lastRow_ > 0 && Rows[lastRow_].empty() && Rows[lastRow_ - 1].empty()) --lastRow_;
  r = std::clamp(r, 0, lastRow_);

  const int savedRowX = RowX;
  const int savedBreakX = BreakX;
  std::string savedTail = PendingTail;
  const uint8_t savedPrev = PrevChar;

  ReflowState st;
  st.oldLast = lastRow_;
  st.next = r + 1;
  RowText current = std::move(Rows[r]);
  int currentWidth = RowWidths[r];  // the old row's width, as counted before
  consume(currentWidth);
  RowWidths[r] = 0;
  // The width of a row that went back in place of the old one, when it is
  // not the old width: it counts as a row laid out again; -1: none. A row's
  // width depends on its own bytes only (every row starts at x 0, tabs
  // included), so only an old width out of date would set it; it keeps the
  // count of the widest rows right even then.
  int repeatedWidth = -1;

  RowX = 0;
  BreakX = 0;
  PendingTail.clear();
  PrevChar = 0;
  if (r > 0) {
    const RowText& prev = Rows[r - 1];
    const int n = prev.size();
    if (n > 0) {
      const bool pair = n >= 2 && IsLineEnd(prev[n - 1]) && IsLineEnd(prev[n - 2]) &&
                        CharClass[prev[n - 1]] != CharClass[prev[n - 2]];
      PrevChar = pair ? 0 : prev[n - 1];
    }
  }
  lastRow_ = r;
  reflow_ = &st;

  // The old rows still to come line up with the new layout once a row has
  // ended, unless the next of them would still change: an emptied row, or one
  // starting with the second half of a line-end pair whose first half ended
  // the last row (a CR, then a LF that an edit brought next to it).
  auto nextRowLinesUp = [&] {
    const RowText* next = !st.queue.empty()       ? &st.queue.front().text
                          : st.next <= st.oldLast ? &Rows[st.next]
                                                  : nullptr;
    // The queue holds the old rows the new layout has overtaken, in order.
    const int firstUnread = st.next - static_cast<int>(st.queue.size());
    if (next == nullptr || next->empty() || firstUnread <= throughRow || !utf8Carry_.empty())
      return false;
    const uint8_t first = (*next)[0];
    return !(IsLineEnd(PrevChar) && IsLineEnd(first) && CharClass[PrevChar] != CharClass[first]);
  };
  bool stopped = false;
  int consumed = 0;
  size_t taken = 0;
  int endedEarly = -1;     // the row ended early, if any
  int currentOld = r;      // the old row being laid out
  int64_t cacheFrom = -1;  // the offset cache's row, from the start of row r
  for (;;) {
    for (KeptPosition& k : keep)
      if (*k.row == currentOld) k.from = static_cast<int64_t>(taken) + *k.col;
    if (OffsetCacheRow == currentOld) cacheFrom = static_cast<int64_t>(taken);
    st.sourceInArena = !current.owned();
    const int currentSize = current.size();
    LayOut(current.data(), currentSize);
    taken += static_cast<size_t>(currentSize);
    ++consumed;
    if (consumed > 1 && Rows[lastRow_].empty() && nextRowLinesUp()) {
      stopped = true;
      break;
    }
    if (consumed > 1 && utf8Carry_.empty() &&
        RowRepeatsOldRow(currentOld, currentSize, std::max(throughRow, r + 1))) {
      // The row being built began where the old row began and holds just its
      // bytes: the old row goes back in its place, and from there on the old
      // layout is the new one.
      st.queue.push_front({std::move(Rows[lastRow_]), RowWidths[lastRow_]});
      if (RowWidths[lastRow_] == currentWidth)
        unconsume(currentWidth);
      else
        repeatedWidth = RowWidths[lastRow_];
      Rows[lastRow_].Clear();
      RowWidths[lastRow_] = 0;
      stopped = true;
      break;
    }
    if (earlyRows >= 0 && lastRow_ - r >= earlyRows && taken >= earlyBytes && utf8Carry_.empty() &&
        MayEndRowEarly(throughRow, earlyRows)) {
      // The row being built ends here; the old rows keep their places after it.
      endedEarly = lastRow_;
      NewRow();
      stopped = true;
      break;
    }
    if (!st.queue.empty()) {
      currentOld = st.next - static_cast<int>(st.queue.size());
      current = std::move(st.queue.front().text);
      currentWidth = st.queue.front().width;
      consume(currentWidth);
      st.queue.pop_front();
    } else if (st.next <= st.oldLast) {
      currentOld = st.next;
      current = std::move(Rows[st.next]);
      currentWidth = RowWidths[st.next];
      consume(currentWidth);
      RowWidths[st.next] = 0;
      ++st.next;
    } else {
      FlushUtf8Carry();  // the end of the document
      break;
    }
  }
  reflow_ = nullptr;
  // The rows laid out again; when the new layout met the old one, its empty
  // row at lastRow_ takes the old rows that follow.
  const int laidOutEnd = stopped ? lastRow_ - 1 : lastRow_;
  const int firstKept = stopped ? st.next - static_cast<int>(st.queue.size()) : -1;
  MoveSeams(r, firstKept, lastRow_);
  const int shift = lastRow_ - firstKept;
  for (KeptPosition& k : keep) {
    if (k.from >= 0) {
      *k.row = r;
      *k.col = static_cast<int>(std::min<int64_t>(k.from, INT32_MAX));
    } else if (firstKept >= 0 && *k.row >= firstKept) {
      *k.row += shift;
    }
  }
  if (cacheFrom >= 0) {
    OffsetCacheRow = r;
    OffsetCacheStart -= static_cast<int>(cacheFrom);
  } else if (firstKept >= 0 && OffsetCacheRow >= firstKept) {
    OffsetCacheRow += shift;
  }
  if (endedEarly >= 0)
    seams_.insert(std::upper_bound(seams_.begin(), seams_.end(), endedEarly), endedEarly);

  if (stopped) {
    // The new layout meets the old one: the unconsumed rows keep their places
    // from the empty produced row on, unchanged and with their widths.
    const int j = lastRow_;
    const int q = static_cast<int>(st.queue.size());
    const int m = st.oldLast - st.next + 1;
    const int dest = j + q;
    const int needed = dest + m;
    if (needed > static_cast<int>(Rows.size())) {
      const int shag = ShagInEffect();
      const size_t grown = (static_cast<size_t>(needed) / shag + 1) * shag;
      Rows.resize(grown);
      RowWidths.resize(grown, 0);
    }
    if (m > 0 && dest != st.next) {
      if (dest > st.next) {
        std::move_backward(Rows.begin() + st.next, Rows.begin() + st.oldLast + 1,
                           Rows.begin() + needed);
        RowWidths.Move(static_cast<size_t>(st.next), static_cast<size_t>(st.oldLast + 1),
                       static_cast<size_t>(dest));
      } else {
        std::move(Rows.begin() + st.next, Rows.begin() + st.oldLast + 1, Rows.begin() + dest);
        RowWidths.Move(static_cast<size_t>(st.next), static_cast<size_t>(st.oldLast + 1),
                       static_cast<size_t>(dest));
      }
    }
    for (int i = 0; i < q; ++i) {
      Rows[j + i] = std::move(st.queue[i].text);
      RowWidths[j + i] = st.queue[i].width;
    }
    const int oldEnd = st.oldLast;
    lastRow_ = needed - 1;
    for (int i = lastRow_ + 1; i <= oldEnd && i < static_cast<int>(Rows.size()); ++i) {
      Rows[i].Clear();
      RowWidths[i] = 0;
    }
    // The old last row is untouched: its layout state carries on.
    RowX = savedRowX;
    BreakX = savedBreakX;
    PendingTail = std::move(savedTail);
    PrevChar = savedPrev;
    const int pr = Rows[lastRow_].empty() && lastRow_ > 0 ? lastRow_ - 1 : lastRow_;
    if (!Rows[pr].empty()) PrevChar = Rows[pr].back();
  } else {
    for (int i = lastRow_ + 1; i <= st.oldLast && i < static_cast<int>(Rows.size()); ++i) {
      Rows[i].Clear();
      RowWidths[i] = 0;
    }
  }
  if (lastRow_ < 0) {
    lastRow_ = 0;
    ResetLayoutState();
  }
  if (Rows[lastRow_].empty()) {
    if (lastRow_ > laidOutEnd) consume(RowWidths[lastRow_]);
    RowWidths[lastRow_] = 0;
  }
  ResizeArraysToFit();
  const int keptAtWidest = widestRows_ - consumedAtWidest;
  widest_ = -1;
  if (widestBefore >= 0 && keptAtWidest > 0) {
    widest_ = widestBefore;
    widestRows_ = keptAtWidest;
    for (int i = r; i <= std::min(laidOutEnd, lastRow_); ++i) CountWidth(RowWidths[i]);
    if (repeatedWidth >= 0) CountWidth(repeatedWidth);
  }
  for (KeptPosition& k : keep) {
    if (k.from < 0) continue;
    while (*k.row < lastRow_ && *k.col >= Len(*k.row)) *k.col -= Len((*k.row)++);
    *k.col = std::clamp(*k.col, 0, Len(*k.row));
  }
  return taken;
}

void TextView::Relayout() {
  widest_ = -1;
  seams_.clear();
  reflowFloor_ = -1;
  std::vector<RowText> old = std::move(Rows);
  const int oldLast = std::min(lastRow_, static_cast<int>(old.size()) - 1);
  std::unique_ptr<RowArena> oldArena = std::move(arena_);
  arena_ = std::make_unique<RowArena>();
  {
    size_t bytes = 0;
    for (int r = 0; r <= oldLast; ++r) bytes += static_cast<size_t>(old[r].size());
    arena_->ExpectMore(bytes);
  }

  const int cursorRow = std::clamp(cursorRow_, 0, oldLast);
  const bool anchorMarked = anchorRow_ != cursorRow_;
  int64_t anchorOffset = 0;
  if (anchorMarked) {
    for (int r = 0; r < anchorRow_ && r <= oldLast; ++r) anchorOffset += old[r].size();
    anchorOffset += anchorCol_;
  }

  const int shag = ShagInEffect();
  Rows.clear();
  Rows.resize(shag);
  RowWidths.assign(shag, 0);
  // Room for about as many rows as before, so the arrays need not move while
  // the new layout fills them.
  Rows.reserve(old.size());
  RowWidths.reserve(old.size());
  lastRow_ = 0;
  ResetLayoutState();
  ResetWidths();
  OffsetCacheRow = 0;
  OffsetCacheStart = 0;

  // Each old chunk is given back as soon as the last row borrowing from it
  // has been laid out again, and each edited row as soon as it is copied: the
  // document is not held twice while it is laid out anew.
  std::vector<std::pair<int, size_t>> lastUsers;  // (last row using it, chunk)
  {
    std::vector<int> lastUser(oldArena->ChunkCount(), -1);
    for (int r = 0; r <= oldLast; ++r) {
      if (old[r].empty() || old[r].owned()) continue;
      const int c = oldArena->ChunkOf(old[r].data());
      if (c >= 0) lastUser[static_cast<size_t>(c)] = r;
    }
    for (size_t c = 0; c < lastUser.size(); ++c) lastUsers.emplace_back(lastUser[c], c);
    std::sort(lastUsers.begin(), lastUsers.end());
  }
  size_t released = 0;
  auto releaseThrough = [&](int r) {
    while (released < lastUsers.size() && lastUsers[released].first <= r)
      oldArena->ReleaseChunk(lastUsers[released++].second);
  };
  auto feed = [&](int r) {
    AppendBytes(old[r].data(), old[r].size());
    old[r].Clear();
    releaseThrough(r);
  };
  releaseThrough(-1);
  for (int r = 0; r < cursorRow; ++r) feed(r);
  const int lead = Rows[lastRow_].size() + static_cast<int>(utf8Carry_.size());
  cursorCol_ += lead;
  cursorRow_ = lastRow_;
  if (!anchorMarked) {
    anchorCol_ += lead;
    anchorRow_ = lastRow_;
  }
  for (int r = cursorRow; r <= oldLast; ++r) feed(r);
  FlushUtf8Carry();
  old.clear();
  oldArena.reset();
  arena_->ReleaseUnusedTail();

  // The end of a row that ends with a line end is the start of the next row.
  auto normalise = [&](int& col, int& row) {
    while (row < lastRow_ && (col > Len(row) || (col == Len(row) && EndsWithLineEnd(row)))) {
      col -= Len(row);
      ++row;
    }
  };
  normalise(cursorCol_, cursorRow_);
  if (anchorMarked) {
    anchorRow_ = 0;
    anchorCol_ = static_cast<int>(std::min<int64_t>(anchorOffset, INT32_MAX));
  }
  normalise(anchorCol_, anchorRow_);
  SettleCursor();
  UpdateCaretPoint();
  ScrollToCaret();
}

void TextView::Clear() {
  widest_ = -1;
  seams_.clear();
  const int shag = ShagInEffect();
  Rows.clear();
  Rows.resize(shag);
  RowWidths.assign(shag, 0);
  arena_ = std::make_unique<RowArena>();
  lastRow_ = 0;
  RowX = 0;
  BreakX = 0;
  PendingTail.clear();
  utf8Carry_.clear();
  PrevChar = 0;
  cursorCol_ = cursorRow_ = anchorCol_ = anchorRow_ = 0;
  OffsetCacheRow = OffsetCacheStart = 0;
}

void TextView::SetFont(const Font& font) {
  canvas_->SetFont(font);
  for (int c = 0; c < 256; ++c) {
    if (CharWidths[c] < 0) continue;
    if (c == 9 && !ShowNonPrinting) continue;
    const int old = CharWidths[c];
    if (MeasureChar(static_cast<uint8_t>(c)) != old) {
      Relayout();
      return;
    }
  }
  if (ShowNonPrinting || 8 * canvas_->TextWidth(" ") == CharWidths[9]) {
    UpdateCaretPoint();
  } else {
    Relayout();
  }
}

void TextView::SetWrapWidth(int w) {
  for (int c = 0; c < 256; ++c) {
    if (c == 9 && !ShowNonPrinting) continue;
    if (CharWidth(static_cast<uint8_t>(c)) > w) return;
  }
  WrapWidth = w;
  Relayout();
}

void TextView::ToggleWordWrap(bool on) {
  const int width = on ? viewWidth_ : Cfg().MaxTextWidth;
  if (width == WrapWidth) return;
  WrapWidth = width;
  Relayout();
  ScrollToCaret();
}

void TextView::ToggleNonPrinting(bool on) {
  if (on == ShowNonPrinting) return;
  ShowNonPrinting = on;
  ResetWidthCache();
  allMeasured_ = false;
  infoValid_ = false;
  if (!on) CharWidths[9] = 8 * canvas_->TextWidth(" ");
  Relayout();
  ScrollToCaret();
}

int TextView::GetDocumentWidth() {
  if (widest_ < 0) {
    widest_ = 0;
    widestRows_ = 0;
    for (int r = 0; r <= lastRow_; ++r) CountWidth(RowWidths[r]);
  }
  return widest_;
}

}  // namespace prambus
