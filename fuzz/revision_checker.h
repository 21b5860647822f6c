// The revision rule, checked around every step of an editing fuzzer: the
// revision moves whenever the document's bytes changed, and only when the
// bytes or the undo history changed; a move, a search or a new display table
// leaves it where it was.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "views/view_base.h"

namespace prambus::fuzz {

// The undo and redo histories as text: every record's offsets and bytes (its
// kind may change from "waiting to be joined" to closed with no edit made).
inline std::string HistoryPrint(const ViewBase& v) {
  std::string s;
  for (const UndoHistory* history : {&v.UndoStack(), &v.RedoStack()}) {
    s += std::to_string(history->size()) + ';';
    for (const UndoRecord& r : *history)
      s +=
          std::to_string(r.beforeOffset) + ',' + std::to_string(r.afterOffset) + ',' + r.text + '|';
  }
  return s;
}

class RevisionChecker {
 public:
  explicit RevisionChecker(const ViewBase& view) : view_(view) {}

  // Before a step: the bytes as the view would write them.
  void Before(const std::string& bytes) {
    bytes_ = bytes;
    history_ = HistoryPrint(view_);
    revision_ = view_.Revision();
  }
  // After it; mayMove is false for a step that never changes the document.
  void After(const std::string& bytes, bool mayMove) const {
    const bool moved = view_.Revision() != revision_;
    if (bytes != bytes_ && !moved) Fail("the bytes changed but the revision did not move");
    if (moved && !mayMove) Fail("a step that changes nothing moved the revision");
    if (moved && bytes == bytes_ && HistoryPrint(view_) == history_)
      Fail("the revision moved though neither the bytes nor the history changed");
  }

 private:
  [[noreturn]] static void Fail(const char* what) {
    std::fprintf(stderr, "revision check failed: %s\n", what);
    std::abort();
  }
  const ViewBase& view_;
  std::string bytes_, history_;
  uint64_t revision_ = 0;
};

}  // namespace prambus::fuzz
