// The document's bytes taken at once, so that another thread can write
// them out while the window goes on. In the text view the rows edited since
// the last snapshot are first copied into the view's arena, where the
// loaded rows' bytes lie too and are never written again; the snapshot
// keeps the arena's chunks readable instead of copying them. Taking it
// costs a walk over the rows plus a copy of what changed since the last
// one. The hex view's bytes are copied as they lie. What saving would do to
// the characters (the display table undone, line ends converted) is left to
// the writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "views/view_base.h"

namespace prambus {

// A buffer of bytes for a snapshot, with huge pages for a large one.
class SnapshotBuffer {
 public:
  SnapshotBuffer() = default;
  explicit SnapshotBuffer(size_t size);
  ~SnapshotBuffer();
  SnapshotBuffer(SnapshotBuffer&& o) noexcept;
  SnapshotBuffer& operator=(SnapshotBuffer&& o) noexcept;
  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  // Whether it can hold `size` bytes without a new mapping, and takes that size.
  bool Fit(size_t size);

 private:
  void Free();
  uint8_t* data_ = nullptr;
  size_t size_ = 0, capacity_ = 0;
  bool mapped_ = false;
};

struct DocumentSnapshot {
  // The document's characters, in order, as runs of bytes that lie in
  // `bytes`, in `edited` or in memory `held` keeps readable.
  struct Run {
    const uint8_t* p;
    size_t n;
  };
  std::vector<Run> runs;
  SnapshotBuffer bytes;         // the whole of a hex document, copied
  std::vector<uint8_t> edited;  // the bytes of edited text rows, copied
  std::vector<std::shared_ptr<const void>> held;
  CodeTable toFile;  // each character's byte in the file
  bool convertLineEnds = false;
  std::string lineEnd;  // what each line end is written as, when converted (as characters)
  // When converting: the offsets just after each row that ends with a line
  // end, in order.
  std::vector<uint32_t> lineEndRowEnds;
};

// Takes the document of `view` into `snapshot`, reusing its buffers when
// they are large enough. The text view's rows edited since the last
// snapshot are copied into its arena first, so that each snapshot copies
// only what changed since the one before. Throws std::bad_alloc when memory
// is short.
void TakeSnapshot(ViewBase& view, DocumentSnapshot& snapshot);

// Lets go of the view's memory the snapshot keeps readable (on the view's
// thread once written, so that the view knows it may change those bytes);
// the buffers stay for the next snapshot.
void LetGoOfHeldBytes(DocumentSnapshot& snapshot);

// Whether a snapshot of `view` copies the whole document into `bytes` (so a
// buffer made ready beforehand spares the window's thread its page faults).
bool SnapshotCopiesEverything(const ViewBase& view);

// Writes to fd exactly what the view's WriteContent wrote when the snapshot
// was taken; throws IoError.
void WriteSnapshot(int fd, const DocumentSnapshot& snapshot);

}  // namespace prambus
