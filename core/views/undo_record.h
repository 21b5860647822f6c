// One entry of a view's undo or redo history.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace prambus {

enum UndoKind : uint8_t {
  kUndoInsert = 1,   // text was inserted
  kUndoDelete = 2,   // text was deleted
  kUndoSealed = 3,   // a deletion waiting to be joined with the insertion replacing it
  kUndoReplace = 4,  // replacement (packed text)
  kUndoHex = 5,      // hex view record
};

struct UndoRecord {
  uint8_t kind = 0;
  std::string text;  // 8-bit
  int32_t beforeOffset = 0;
  int32_t beforeRow = 0;
  int32_t afterOffset = 0;
  int32_t afterRow = 0;

  // Size counted against MaxUndoLen.
  int64_t Size() const { return 21 + static_cast<int64_t>(text.size()); }
};

// A deque, so that dropping the oldest records under the budget costs O(1).
using UndoHistory = std::deque<UndoRecord>;

}  // namespace prambus
