// A file being loaded into a view a step at a time, so that a window can show
// the first screen at once and keep serving input while the rest arrives.
// The view must outlive its load. Once Step reports the load finished the
// view holds exactly what a load in one go gives.
#pragma once

#include <cstddef>
#include <cstdint>

namespace prambus {

class DocumentLoad {
 public:
  virtual ~DocumentLoad() = default;
  // Reads and lays out about maxBytes more of the file (at least one byte
  // while any is left); true once the whole file is in the view. Throws
  // IoError where the file turns out to be unreadable, too long or shorter
  // than its size; the view then holds a part of the file only.
  virtual bool Step(size_t maxBytes) = 0;
  int64_t Done() const { return done_; }
  int64_t Total() const { return total_; }
  bool Finished() const { return finished_; }

 protected:
  int64_t done_ = 0;
  int64_t total_ = 0;  // the file's size when it was opened
  bool finished_ = false;
};

}  // namespace prambus
