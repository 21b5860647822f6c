// How far a document has changed. Every change of a document's bytes (an
// edit, an undo or redo step, a rewrite of the whole document, another way
// of writing its line ends) advances its revision; moving the cursor,
// searching, laying out, changing the display table and loading leave it
// alone. "Modified" is then a comparison of two numbers, and whatever
// remembers a place in the document can tell when that place may have moved.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace prambus {

class DocumentRevision {
 public:
  uint64_t Value() const { return value_; }
  void Advance() {
    ++value_;
    if (listener_) listener_();
  }
  // Called after every advance, whoever made the change (the window shows
  // the modified mark from it).
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  uint64_t value_ = 0;
  std::function<void()> listener_;
};

// A place in a document's history: which document (its revision counter)
// and its revision then. A search region or a pending step keeps one with
// its offsets; they hold only while the mark is current.
class RevisionMark {
 public:
  RevisionMark() = default;  // marks nothing: never current
  explicit RevisionMark(const std::shared_ptr<const DocumentRevision>& revision)
      : revision_(revision), value_(revision ? revision->Value() : 0) {}
  // Whether `revision` is the same document's counter, still at the mark.
  bool IsCurrent(const std::shared_ptr<const DocumentRevision>& revision) const {
    return revision && revision_.lock() == revision && revision->Value() == value_;
  }

 private:
  std::weak_ptr<const DocumentRevision> revision_;
  uint64_t value_ = 0;
};

}  // namespace prambus
