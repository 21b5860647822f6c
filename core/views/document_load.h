// A file being loaded into a view a step at a time, so that a window can show
// the first screen at once and keep serving input while the rest arrives.
// The view must outlive its load. Once Step reports the load finished the
// view holds exactly what a load in one go gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "io/content_hash.h"

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
  // The hash of the file's bytes as read (io/content_hash.h), once a load
  // that reads a file has read all of it: the file need not be read a second
  // time to be hashed.
  std::optional<uint64_t> FileHash() const {
    if (!hashing_ || !finished_) return std::nullopt;
    return hasher_.Finish();
  }

 protected:
  // Adds bytes as the file gave them (before any display table) to the hash.
  void HashRead(const void* p, size_t n) {
    hashing_ = true;
    hasher_.Add(static_cast<const unsigned char*>(p), n);
  }

  int64_t done_ = 0;
  int64_t total_ = 0;  // the file's size when it was opened
  bool finished_ = false;

 private:
  ContentHasher hasher_;
  bool hashing_ = false;
};

}  // namespace prambus
