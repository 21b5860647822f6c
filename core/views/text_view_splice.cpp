// One change in place of many: the bytes of a span replaced at once ("Заменить
// всё" in one pass), laid out once from a single row that holds the new text.
#include <algorithm>
#include <cstring>
#include <vector>

#include "views/text_view.h"

namespace prambus {

namespace {
// A splice of this many bytes or more looks for arena chunks no row borrows
// from any more and gives them back (a replace over most of a large
// document leaves the old text's chunks unused).
constexpr size_t kReleaseAfterBytes = size_t(4) << 20;
}  // namespace

// The rows from the one holding `from` to the one holding `to` become one
// row: the head of the first, the new bytes, the tail of the last. It borrows
// its bytes from the arena, so the reflow that follows lays the rows out in
// place, as a load does, and copies nothing. The reflow starts a row early:
// the row before may take in the start of the new text.
void TextView::SpliceRange(int from, int to, size_t newSize, const SpliceWriter& write) {
  NoteChange();
  from = std::max(from, 0);
  to = std::max(to, from);
  int headCol = from, first = 0;
  OffsetToPos(headCol, first);
  int tailCol = to, last = 0;
  OffsetToPos(tailCol, last);
  headCol = std::clamp(headCol, 0, Len(first));
  tailCol = std::clamp(tailCol, 0, Len(last));
  CacheBefore(std::max(first - 1, 0));
  size_t size = static_cast<size_t>(headCol) + newSize + static_cast<size_t>(Len(last) - tailCol);
  // An empty row cannot stand inside the document: the next row comes in.
  while (size == 0 && last < lastRow_) {
    ++last;
    tailCol = 0;
    size = static_cast<size_t>(Len(last));
  }
  cursorCol_ = anchorCol_ = 0;
  cursorRow_ = anchorRow_ = first;
  if (size == 0) {  // everything from the first row on goes
    if (first == 0) {
      RemoveRows(1, lastRow_);
      Rows[0].Clear();
      RowWidths[0] = 0;
      widest_ = -1;  // a lone row removes no rows, so nothing else counts anew
      seams_.clear();
      ResetLayoutState();
      OffsetCacheRow = OffsetCacheStart = 0;
      return;
    }
    RemoveRows(first, lastRow_ - first + 1);
    cursorRow_ = anchorRow_ = first - 1;
    ReflowEdit(first - 1, first - 1);
    if (EndsWithLineEnd(lastRow_)) AppendEmptyRow();
    return;
  }
  uint8_t* joined = arena_->Reserve(size);
  // An empty row may have no bytes at all: nothing is copied from it.
  if (headCol > 0) std::memcpy(joined, Rows[first].data(), static_cast<size_t>(headCol));
  if (newSize > 0) write(reinterpret_cast<char*>(joined) + headCol);
  if (Len(last) > tailCol)
    std::memcpy(joined + headCol + newSize, Rows[last].data() + tailCol,
                static_cast<size_t>(Len(last) - tailCol));
  arena_->Push(joined, size);
  RemoveRows(first + 1, last - first);
  Rows[first].Clear();
  Rows[first].AppendInPlace(joined, static_cast<int>(size), *arena_);
  RowWidths[first] = 0;
  widest_ = -1;
  const int start = std::max(first - 1, 0);
  ReflowEdit(start, first);
  if (size >= kReleaseAfterBytes) ReleaseIdleChunks();
}

void TextView::MoveEditedRowsToArena() {
  size_t edited = 0;
  std::vector<int> rows;
  for (int r = 0; r <= lastRow_; ++r) {
    if (!Rows[r].owned()) continue;
    rows.push_back(r);
    edited += static_cast<size_t>(Rows[r].size());
  }
  if (edited == 0) return;
  // A chunk no larger than they need: a few typed keys must not cost the
  // resident pages of a whole large chunk.
  arena_->ExpectMore(edited);
  for (const int r : rows) {
    RowText moved;
    moved.Append(Rows[r].data(), Rows[r].size(), arena_.get());
    Rows[r] = std::move(moved);
  }
  arena_->ExpectMore(0);
}

void TextView::ReleaseIdleChunks() {
  const size_t chunks = arena_->ChunkCount();
  if (chunks < 2) return;
  std::vector<char> used(chunks, 0);
  used.back() = 1;  // the arena's top stays
  for (int r = 0; r <= lastRow_; ++r) {
    const RowText& row = Rows[r];
    if (row.empty() || row.owned()) continue;
    const int c = arena_->ChunkOf(row.data());
    if (c >= 0) used[static_cast<size_t>(c)] = 1;
  }
  for (size_t c = 0; c < chunks; ++c)
    if (!used[c]) arena_->ReleaseChunk(c);
}

}  // namespace prambus
