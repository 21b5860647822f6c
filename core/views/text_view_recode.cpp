// Recoding the text view's document from one encoding into another. Each
// stored character stands for the byte that the current display table maps
// to it; the result bytes are shown through the same table again.
#include <algorithm>
#include <new>

#include "encodings/recode.h"
#include "io/memory_room.h"
#include "io/posix_file.h"
#include "views/text_view.h"

namespace prambus {

bool TextView::Recode(const CodeTable& source, const CodeTable& target) {
  const RecodePlan plan(source, target);
  const CodeTable inverseV = InverseTable(charTable_);
  if (plan.Composable()) {
    // Plain tables: each stored character through one composed table, in place.
    const CodeTable step = plan.Composed();
    CodeTable map;
    bool identity = true;
    for (int c = 0; c < 256; ++c) {
      map[c] = charTable_[step[inverseV[c]]];
      identity = identity && map[c] == c;
    }
    if (identity || !AnyCharacterMoves(map)) return true;  // the history still holds
    MapRows(map);
    Relayout();  // a character may have become a line end, or stopped being one
  } else {
    // A conversion reads sequences (UTF-8, escapes, digraphs) that a soft wrap
    // may cut: the document is converted as one piece, never row by row, so
    // the result does not depend on the wrap width.
    // Nothing changes until the result is whole: memory that runs out while
    // it is made refuses the recode.
    std::string result;
    try {
      std::string bytes;
      bytes.reserve(static_cast<size_t>(GetTextLength()));
      for (int r = 0; r <= lastRow_; ++r) bytes.append(Rows[r].view());
      for (char& c : bytes) c = static_cast<char>(inverseV[static_cast<uint8_t>(c)]);
      if (!plan.Convert(bytes, result, kMaxDocumentSize)) return false;
      if (result == bytes) return true;  // nothing to convert: the history still holds
      // The rows are made anew from the result while it is still held: their
      // bytes, and a quarter more for the rows' own records.
      if (!MemoryRoomFor(result.size() + result.size() / 4)) {
        MemoryShort = true;
        return false;
      }
    } catch (const std::bad_alloc&) {
      MemoryShort = true;
      return false;
    }
    for (char& c : result) c = static_cast<char>(charTable_[static_cast<uint8_t>(c)]);
    Clear();  // cursor and anchor go to the start
    constexpr size_t kBlock = 65536;
    for (size_t i = 0; i < result.size(); i += kBlock) {
      const size_t n = std::min(kBlock, result.size() - i);
      AppendBytes(reinterpret_cast<const uint8_t*>(result.data()) + i, static_cast<int>(n));
    }
    FlushUtf8Carry();
    UpdateCaretPoint();
    ScrollToCaret();
  }
  DropHistory();
  return true;
}

void TextView::MapRows(const CodeTable& map) {
  if (arena_->Held()) {
    // A copy of the document is being read on another thread: the rows'
    // bytes move to an arena of their own before they change.
    auto fresh = std::make_unique<RowArena>();
    size_t borrowed = 0;
    for (int r = 0; r <= lastRow_; ++r)
      if (!Rows[r].owned()) borrowed += static_cast<size_t>(Rows[r].size());
    fresh->ExpectMore(borrowed);
    for (int r = 0; r <= lastRow_; ++r) {
      if (Rows[r].owned() || Rows[r].empty()) continue;
      RowText copy;
      copy.Append(Rows[r].data(), Rows[r].size(), fresh.get());
      Rows[r] = std::move(copy);
    }
    fresh->ReleaseUnusedTail();
    arena_ = std::move(fresh);
  }
  for (int r = 0; r <= lastRow_; ++r) Rows[r].MapThrough(map.data());
}

bool TextView::AnyCharacterMoves(const CodeTable& map) const {
  for (int r = 0; r <= lastRow_; ++r)
    for (const uint8_t c : Rows[r].view())
      if (map[c] != c) return true;
  return false;
}

}  // namespace prambus
