// The document's bytes taken at once, so that another thread can write
// them out while the window goes on: the view's characters are copied as
// they lie (whole runs of rows at a time, about as fast as a memory copy),
// and what saving would do to them (the display table undone, line ends
// converted) is left to the writer.
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
  SnapshotBuffer bytes;  // the characters as the view holds them
  CodeTable toFile;      // each character's byte in the file
  bool convertLineEnds = false;
  std::string lineEnd;  // what each line end is written as, when converted (as characters)
  // When converting: the offsets just after each row that ends with a line
  // end, in order.
  std::vector<uint32_t> lineEndRowEnds;
};

// Copies the document of `view` into `snapshot`, reusing its buffer when it
// is large enough. Throws std::bad_alloc when memory is short.
void TakeSnapshot(const ViewBase& view, DocumentSnapshot& snapshot);

// Writes to fd exactly what the view's WriteContent wrote when the snapshot
// was taken; throws IoError.
void WriteSnapshot(int fd, const DocumentSnapshot& snapshot);

}  // namespace prambus
