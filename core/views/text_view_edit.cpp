// Editing of the text view: typing, inserting and deleting on the display
// rows, each edit re-laying out only what changed and recording one undo
// record; offsets with their cache; the display table.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "settings/settings.h"
#include "text/utf8_chars.h"
#include "views/char_class.h"
#include "views/text_view.h"

namespace prambus {

bool TextView::EndsWithLineEnd(int row) const {
  return row >= 0 && row <= lastRow_ && !Rows[row].empty() && IsLineEnd(Rows[row].back());
}

int TextView::LineEndStart(int row) const {
  int n = Len(row);
  while (n > 0 && IsLineEnd(Rows[row][n - 1])) --n;
  return n;
}

void TextView::SetInsertMode(bool) {
  insertMode_ = true;
}

// ------------------------------------------------------------ offsets ----

void TextView::CacheBefore(int row) {
  const int target = std::max(0, row - 1);
  if (OffsetCacheRow > lastRow_) OffsetCacheRow = OffsetCacheStart = 0;
  while (OffsetCacheRow > target) {
    --OffsetCacheRow;
    OffsetCacheStart -= Len(OffsetCacheRow);
  }
}

int TextView::PosToOffset(int col, int row) {
  if (row <= 0) {
    if (col <= Len(0)) OffsetCacheRow = OffsetCacheStart = 0;
    return col;
  }
  const int t = std::min(row, lastRow_);
  int c = OffsetCacheRow, start = OffsetCacheStart;
  if (c > lastRow_ || std::abs(t - c) >= t) c = start = 0;
  while (c < t) start += Len(c++);
  while (c > t) start -= Len(--c);
  int result = start + col;
  if (row > lastRow_) result += Len(lastRow_);
  OffsetCacheRow = t - 1;
  OffsetCacheStart = start - Len(t - 1);
  return result;
}

void TextView::OffsetToPos(int& col, int& row) {
  int offset = col;
  if (row > 0) offset += PosToOffset(0, std::min(row, lastRow_));
  int c = OffsetCacheRow, start = OffsetCacheStart;
  if (c > lastRow_ || std::abs(offset - start) >= offset) c = start = 0;
  while (c > 0 && start > offset) start -= Len(--c);
  while (c < lastRow_ && offset - start >= Len(c)) start += Len(c++);
  row = c;
  col = offset - start;
  if (c > 0) {
    OffsetCacheRow = c - 1;
    OffsetCacheStart = start - Len(c - 1);
  } else {
    OffsetCacheRow = OffsetCacheStart = 0;
  }
}

// ------------------------------------------------------------ helpers ----

void TextView::NormaliseCursor() {
  while (cursorRow_ < lastRow_ && cursorCol_ >= Len(cursorRow_)) {
    cursorCol_ -= Len(cursorRow_);
    ++cursorRow_;
  }
  cursorCol_ = std::clamp(cursorCol_, 0, Len(cursorRow_));
}

void TextView::Finish(int beforeOffset, uint8_t kind, std::string_view text) {
  NormaliseCursor();
  UpdateCaretPoint();
  anchorCol_ = cursorCol_;
  anchorRow_ = cursorRow_;
  ScrollToCaret();
  RecordUndo(kind, text, beforeOffset, 0);
  SettleCursor();
}

// Undo records hold exact offsets, which may fall between the two characters
// of a line-end pair that an edit brought together.
void TextView::PlaceAtOffset(int offset, bool cursor) {
  int col = offset, row = 0;
  OffsetToPos(col, row);
  col = std::clamp(col, 0, Len(row));
  (cursor ? cursorCol_ : anchorCol_) = col;
  (cursor ? cursorRow_ : anchorRow_) = row;
  UpdateCaretPoint();
  ScrollToCaret();
}

// An edit can leave the cursor or the anchor inside a row's line-end run
// (text inserted or deleted next to a lone CR or LF makes a pair): they step
// back before the run, where a cursor may stand.
void TextView::SettleCursor() {
  SettlePositions(true);
}

void TextView::SettlePositions(bool onCharStarts) {
  if (UndoReplay != 0) return;  // a replay works on exact offsets; Undo and Redo settle at the end
  bool moved = false;
  auto settle = [&](int& col, int& row) {
    row = std::clamp(row, 0, lastRow_);
    const int limit = LineEndStart(row);
    if (col > limit) {
      col = limit;
      moved = true;
    }
    // An edit may have joined the bytes around a position into one character.
    const int start = onCharStarts ? SnapToChar(row, col) : col;
    if (start != col) {
      col = start;
      moved = true;
    }
  };
  settle(cursorCol_, cursorRow_);
  settle(anchorCol_, anchorRow_);
  if (moved) UpdateCaretPoint();
}

// Expresses the cursor relative to the previous row (for a reflow from there)
// when that row takes part in the new layout: the cursor row continues its
// hard line, or the cursor row may now start with the second half of a line-end
// pair that joins the previous row.
void TextView::ReexpressOnPreviousRow() {
  if (cursorRow_ <= 0) return;
  const RowText& prev = Rows[cursorRow_ - 1];
  const int n = prev.size();
  const bool loneLineEnd =
      n > 0 && IsLineEnd(prev[n - 1]) &&
      (n < 2 || !IsLineEnd(prev[n - 2]) || CharClass[prev[n - 1]] == CharClass[prev[n - 2]]);
  if (!StartsHardLine(cursorRow_) || loneLineEnd) {
    cursorCol_ += Len(cursorRow_ - 1);
    --cursorRow_;
  }
}

void TextView::RemoveRows(int first, int count) {
  if (count <= 0) return;
  widest_ = -1;
  MoveSeams(first, first + count, first);
  const int end = lastRow_ + 1;
  std::move(Rows.begin() + first + count, Rows.begin() + end, Rows.begin() + first);
  RowWidths.Move(static_cast<size_t>(first + count), static_cast<size_t>(end),
                 static_cast<size_t>(first));
  for (int r = end - count; r < end; ++r) {
    Rows[r].Clear();
    RowWidths[r] = 0;
  }
  lastRow_ -= count;
}

void TextView::AppendEmptyRow() {
  widest_ = -1;
  ++lastRow_;
  if (lastRow_ >= static_cast<int>(Rows.size())) {
    const size_t grown = Rows.size() + ShagInEffect();
    Rows.resize(grown);
    RowWidths.resize(grown, 0);
  }
  Rows[lastRow_].Clear();
  RowWidths[lastRow_] = 0;
}

int TextView::MeasuredRowWidth(int row) const {
  const RowText& r = Rows[row];
  int x = 0;
  for (int i = 0, len = 1; i < r.size() && !IsLineEnd(r[i]); i += len) x += AdvanceAt(r, i, x, len);
  return x;
}

// -------------------------------------------------------------- edits ----

// A new line end copies the style of the line ends around the cursor: the run
// of the row it stands before, or after at the start of a line; inside a line
// the run that ends that hard line; on a last line without one, the run of
// the line before. A document without any line end gets LF, the convention
// of this platform (a lone CR reads as a broken file everywhere else).
std::string TextView::LineEndAtCursor() const {
  auto run = [&](int row) { return std::string(Rows[row].view().substr(LineEndStart(row))); };
  if (EndsWithLineEnd(cursorRow_) && cursorCol_ >= LineEndStart(cursorRow_)) return run(cursorRow_);
  if (cursorCol_ == 0 && cursorRow_ > 0 && EndsWithLineEnd(cursorRow_ - 1))
    return run(cursorRow_ - 1);
  for (int r = cursorRow_; r <= lastRow_; ++r)
    if (EndsWithLineEnd(r)) return run(r);
  for (int r = cursorRow_ - 1; r >= 0; --r)
    if (EndsWithLineEnd(r)) return run(r);
  return "\n";
}

bool TextView::TypeChar(uint8_t ch) {
  const std::string lineEnd = IsLineEnd(ch) ? LineEndAtCursor() : std::string();
  if (!HasRoomFor(IsLineEnd(ch) ? static_cast<int64_t>(lineEnd.size()) : 1)) {
    LengthLimitReached = true;
    return false;
  }
  const int oldLast = lastRow_;
  const int p = PosToOffset(cursorCol_, cursorRow_);
  CacheBefore(cursorRow_);
  if (!IsLineEnd(ch)) {
    if (cursorCol_ >= Len(cursorRow_) && cursorRow_ < lastRow_ && !Rows[cursorRow_ + 1].empty()) {
      const uint8_t k = CharClass[Rows[cursorRow_ + 1][0]];
      if (k != kBlank && k != kOpeningBracket && k != kBreakEither) {
        ++cursorRow_;  // the character joins the word wrapped onto the next row
        cursorCol_ = 0;
        CacheBefore(cursorRow_);
      }
    }
    Rows[cursorRow_].Insert(cursorCol_, &ch, 1);
    const char typed[1] = {static_cast<char>(ch)};
    if (StartsHardLine(cursorRow_)) {
      ++cursorCol_;
      // A wider row cannot take text from the next one, so it only needs
      // measuring while it still fits; unless the next row continues it (the
      // row may have just lost a selection that was not laid out yet).
      const int width = MeasuredRowWidth(cursorRow_);
      if (width <= WrapWidth && (cursorRow_ == lastRow_ || StartsHardLine(cursorRow_ + 1))) {
        // A row that grew can only raise the widest width; one that shrank
        // (a narrower character typed over a wider one) may have been it.
        if (widest_ >= 0 && width >= RowWidths[cursorRow_]) {
          if (RowWidths[cursorRow_] == widest_) --widestRows_;
          CountWidth(width);
        } else {
          widest_ = -1;
        }
        RowWidths[cursorRow_] = width;
        if (cursorRow_ == lastRow_) RowX = width;
        anchorCol_ = cursorCol_;
        anchorRow_ = cursorRow_;
        caretX_ = ColumnX(cursorRow_, cursorCol_) + Cfg().EffOtstupX - scrollX_;
        ScrollToCaret();
        RecordUndo(kUndoInsert, std::string_view(typed, 1), p, 0);
        return false;
      }
      ReflowFrom(cursorRow_);
    } else {
      cursorCol_ += Len(cursorRow_ - 1) + 1;
      --cursorRow_;
      CacheBefore(cursorRow_);
      ReflowFrom(cursorRow_);
    }
    Finish(p, kUndoInsert, std::string_view(typed, 1));
    return lastRow_ != oldLast;
  }

  const std::string& text = lineEnd;
  Rows[cursorRow_].Insert(cursorCol_, text);
  if (cursorRow_ == 0) {
    // The cursor goes after the inserted line end, found by its offset: row 0
    // may wrap before it, so (0, 1) is not always that place.
    cursorCol_ += static_cast<int>(text.size());
    ReflowFrom(0);
  } else {
    cursorCol_ += static_cast<int>(text.size()) + Len(cursorRow_ - 1);
    --cursorRow_;
    CacheBefore(cursorRow_);
    ReflowFrom(cursorRow_);
  }
  Finish(p, kUndoInsert, text);
  return true;
}

bool TextView::InsertText(std::string_view text, bool recordUndo, bool layOut) {
  if (text.empty()) return false;
  if (!HasRoomFor(static_cast<int64_t>(text.size()))) {
    LengthLimitReached = true;
    return false;
  }
  if (!HasMemoryFor(static_cast<int64_t>(text.size()))) {
    MemoryShort = true;
    return false;
  }
  const int oldLast = lastRow_;
  const int p = PosToOffset(cursorCol_, cursorRow_);
  CacheBefore(cursorRow_);
  cursorCol_ = std::clamp(cursorCol_, 0, Len(cursorRow_));
  Rows[cursorRow_].Insert(cursorCol_, text);
  cursorCol_ += static_cast<int>(text.size());
  ReexpressOnPreviousRow();
  CacheBefore(cursorRow_);
  if (layOut) ReflowFrom(cursorRow_);
  NormaliseCursor();
  if (layOut) {
    UpdateCaretPoint();
    ScrollToCaret();
  }
  anchorCol_ = cursorCol_;
  anchorRow_ = cursorRow_;
  if (recordUndo) {
    RecordUndo(kUndoInsert, text, p, 0);
  } else {
    DropHistory();
  }
  SettleCursor();
  return lastRow_ != oldLast;
}

std::string TextView::GetAdjacentText(bool forward) const {
  if (HasSelection()) return GetSelectedText();
  std::string out;
  if (forward) {
    int r = cursorRow_, c = cursorCol_;
    if (c >= Len(r)) {
      if (r >= lastRow_) return out;
      ++r;
      c = 0;
    }
    if (c >= Len(r)) return out;
    if (utf8_ && Rows[r][c] >= 0x80) return std::string(Rows[r].view().substr(c, CharLength(r, c)));
    out += static_cast<char>(Rows[r][c]);
    if (IsLineEnd(Rows[r][c]))
      for (int i = c + 1; i < Len(r) && IsLineEnd(Rows[r][i]); ++i)
        out += static_cast<char>(Rows[r][i]);
    return out;
  }
  if (cursorCol_ > 0) {
    const int end = std::min(cursorCol_, Len(cursorRow_));
    const int start = PreviousCharStart(cursorRow_, end);
    return std::string(Rows[cursorRow_].view().substr(start, end - start));
  }
  if (cursorRow_ == 0) return out;
  const RowText& prev = Rows[cursorRow_ - 1];
  int i = prev.size() - 1;
  if (i < 0) return out;
  if (!IsLineEnd(prev[i])) {
    const int start = PreviousCharStart(cursorRow_ - 1, i + 1);
    return std::string(prev.view().substr(start));
  }
  const int start = LineEndStart(cursorRow_ - 1);
  return std::string(prev.view().substr(start));
}

bool TextView::DeleteForward() {
  const int oldLast = lastRow_;
  const int p = PosToOffset(cursorCol_, cursorRow_);
  const std::string text = GetAdjacentText(true);
  CacheBefore(cursorRow_);
  if (cursorCol_ >= Len(cursorRow_)) {
    if (cursorRow_ >= lastRow_) return false;
    RowText& next = Rows[cursorRow_ + 1];
    int n = CharLength(cursorRow_ + 1, 0);
    if (!next.empty() && IsLineEnd(next[0]))
      while (n < next.size() && IsLineEnd(next[n])) ++n;
    next.Erase(0, std::min(n, next.size()));
    ReflowFrom(cursorRow_);
  } else {
    RowText& row = Rows[cursorRow_];
    int n = CharLength(cursorRow_, cursorCol_);
    if (IsLineEnd(row[cursorCol_]))
      while (cursorCol_ + n < row.size() && IsLineEnd(row[cursorCol_ + n])) ++n;
    row.Erase(cursorCol_, n);
    ReexpressOnPreviousRow();
    CacheBefore(cursorRow_);
    ReflowFrom(cursorRow_);
  }
  Finish(p, kUndoDelete, text);
  return lastRow_ != oldLast;
}

bool TextView::DeleteSelection(bool recordUndo, bool layOut) {
  if (!HasSelection()) return false;
  const int oldLast = lastRow_;
  const int p = PosToOffset(cursorCol_, cursorRow_);
  std::string text = GetSelectedText();
  if (text.empty()) {  // the two ends name the same place (end of a row, start of the next)
    anchorCol_ = cursorCol_;
    anchorRow_ = cursorRow_;
    return false;
  }
  int sr = anchorRow_, sc = anchorCol_, er = cursorRow_, ec = cursorCol_;
  if (sr > er || (sr == er && sc > ec)) {
    std::swap(sr, er);
    std::swap(sc, ec);
  }
  sr = std::clamp(sr, 0, lastRow_);
  er = std::clamp(er, 0, lastRow_);
  sc = std::clamp(sc, 0, Len(sr));
  ec = std::clamp(ec, 0, Len(er));
  CacheBefore(sr);

  if (sr == er) {
    Rows[sr].Erase(sc, ec - sc);
  } else {
    Rows[sr].Truncate(sc);
    Rows[er].Erase(0, ec);
  }
  // Remove the rows between, and the start and end rows when they became empty.
  const bool startEmpty = Rows[sr].empty();
  // What is left of the end row has lost its start, so it is laid out again
  // even when the start row still ends with a line end (a replay may cut
  // between the two characters of a pair).
  const int tailRow = sr != er && !Rows[er].empty() ? (startEmpty ? sr : sr + 1) : -1;
  int first = startEmpty ? sr : sr + 1;
  int count =
      std::max(0, er - sr - 1) + (startEmpty ? 1 : 0) + (sr != er && Rows[er].empty() ? 1 : 0);
  if (count > lastRow_) {  // the whole document went: keep one empty row
    RemoveRows(1, count - 1);
  } else {
    RemoveRows(first, count);
  }
  // After a final line end the last row is an empty row.
  if (EndsWithLineEnd(lastRow_)) AppendEmptyRow();

  if (sr > lastRow_) {  // the start row was the removed last row: the end of the text
    cursorRow_ = lastRow_;
    cursorCol_ = Len(lastRow_);
  } else {
    cursorRow_ = sr;
    cursorCol_ = startEmpty ? 0 : std::min(sc, Len(sr));
  }
  if (layOut) {
    ReexpressOnPreviousRow();
    CacheBefore(cursorRow_);
    ReflowEdit(cursorRow_, tailRow);
  } else {
    const int floor = std::max(sr - 1, 0);
    reflowFloor_ = reflowFloor_ >= 0 ? std::min(reflowFloor_, floor) : floor;
  }
  NormaliseCursor();
  if (recordUndo) {
    RecordUndo(kUndoDelete, std::move(text), p, 0);
  } else {
    DropHistory();
  }
  if (layOut) UpdateCaretPoint();
  anchorCol_ = cursorCol_;
  anchorRow_ = cursorRow_;
  if (layOut) ScrollToCaret();
  // A selection giving way to an insert (not laid out) leaves the cursor
  // where the selection was, even where the bytes meeting there make one
  // character for now: the insert goes between them.
  SettlePositions(layOut);
  return lastRow_ != oldLast;
}

bool TextView::DeleteLine(bool wholeHardLine) {
  CacheBefore(cursorRow_);
  int first = cursorRow_, last = cursorRow_;
  if (wholeHardLine) {
    while (first > 0 && !EndsWithLineEnd(first - 1)) --first;
    while (last < lastRow_ && !EndsWithLineEnd(last)) ++last;
  }
  CacheBefore(first);
  std::string text;
  for (int r = first; r <= last; ++r) text += Rows[r].view();
  if (text.empty()) return false;
  const int at = PosToOffset(0, first);
  if (last >= lastRow_) {
    RemoveRows(first + 1, last - first);
    MoveSeams(first, -1, -1);
    Rows[first].Clear();
    widest_ = -1;
    RowWidths[first] = 0;
    lastRow_ = first;
    RowX = BreakX = 0;
    PendingTail.clear();
    PrevChar = first > 0 && !Rows[first - 1].empty() ? Rows[first - 1].back() : 0;
  } else {
    RemoveRows(first, last - first + 1);
  }
  // The rows now meeting at the gap may form a line-end pair across them.
  if (first > 0 && first <= lastRow_ && !Rows[first].empty() && IsLineEnd(Rows[first][0]) &&
      EndsWithLineEnd(first - 1))
    ReflowFrom(first - 1);
  // Under UTF-8 the bytes meeting there may make one character.
  else if (utf8_ && first > 0 && first <= lastRow_ && !Rows[first].empty() &&
           IsUtf8Continuation(Rows[first][0]))
    ReflowFrom(first);
  ResizeArraysToFit();
  PlaceAtOffset(at, true);
  PlaceAtOffset(at, false);
  RecordUndo(kUndoDelete, text, at, 0, at);
  SettleCursor();
  return true;
}

void TextView::SetCharTable(const CodeTable& table) {
  // The same table leaves every byte and width as it is: laying the whole
  // document out again would give the same rows (and, on a large document,
  // hold it twice in memory while it runs).
  if (table == charTable_) return;
  const CodeTable inv = InverseTable(charTable_);
  CodeTable map;
  bool identity = true;
  for (int c = 0; c < 256; ++c) {
    map[c] = table[inv[c]];
    identity = identity && map[c] == c;
  }
  if (!identity) {
    MapRows(map);
    auto remap = [&](UndoHistory& stack) {
      for (UndoRecord& rec : stack) {
        const size_t from = rec.kind == kUndoReplace ? std::min<size_t>(8, rec.text.size()) : 0;
        for (size_t i = from; i < rec.text.size(); ++i)
          rec.text[i] = static_cast<char>(map[static_cast<uint8_t>(rec.text[i])]);
      }
    };
    remap(undoStack_);
    remap(redoStack_);
  }
  charTable_ = table;
  Relayout();
}

// The rows go over in large pieces, not one call per row: under the identity
// table rows that lie one after another in memory (as a loaded file's do)
// are handed over as one run; otherwise the file bytes are gathered in a
// buffer.
void TextView::CopyContentTo(ViewBase& target) {
  const CodeTable inverse = InverseTable(charTable_);
  const bool identity = inverse == IdentityTable();
  constexpr size_t kPiece = size_t(1) << 20;
  std::vector<uint8_t> buf;
  if (!identity) buf.reserve(kPiece);
  const uint8_t* run = nullptr;  // identity: the run not yet handed over
  size_t runLength = 0;
  auto flush = [&] {
    if (identity && runLength) target.AppendBytes(run, static_cast<int>(runLength));
    if (!identity && !buf.empty()) target.AppendBytes(buf.data(), static_cast<int>(buf.size()));
    runLength = 0;
    buf.clear();
  };
  for (int r = 0; r <= lastRow_; ++r) {
    const RowText& row = Rows[r];
    const size_t n = static_cast<size_t>(row.size());
    if (n == 0) continue;
    if (identity) {
      if (runLength && (run + runLength != row.data() || runLength + n > kPiece)) flush();
      if (!runLength) run = row.data();
      runLength += n;
      continue;
    }
    for (size_t i = 0; i < n;) {
      if (buf.size() == kPiece) flush();
      const size_t at = buf.size(), take = std::min(n - i, kPiece - at);
      buf.resize(at + take);
      const uint8_t* from = row.data() + i;
      for (size_t k = 0; k < take; ++k) buf[at + k] = inverse[from[k]];
      i += take;
    }
  }
  flush();
  target.EndAppend();
}

bool TextView::ForEachRow(const RowVisitor& visit) {
  bool stop = false;
  for (size_t r = 0; r < Rows.size() && !stop; ++r) visit(Rows[r].size(), Rows[r].data(), &stop);
  return true;
}

bool TextView::TransformRows(const RowRewriter& rewrite) {
  std::vector<std::string> copy;
  copy.reserve(static_cast<size_t>(lastRow_) + 1);
  for (int r = 0; r <= lastRow_; ++r) copy.emplace_back(Rows[r].view());
  // Rows that hold the same bytes as before, however split, change nothing.
  if (!RewriteRowStrings(copy, rewrite) || SameBytesAsRows(copy, *this)) return true;
  Clear();
  for (const std::string& row : copy) AppendString(row);
  FlushUtf8Carry();
  DropHistory();
  UpdateCaretPoint();
  ScrollToCaret();
  return true;
}

}  // namespace prambus
