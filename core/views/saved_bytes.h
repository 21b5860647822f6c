// The bytes that saving writes for the document, or for its selection, read
// in pieces: the text view's characters through the inverse of its display
// table, with its line ends as saving converts them, and the hex view's
// bytes as they are. Saving itself reads the text view through it, so what
// is read here is what a file saved now would hold.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "views/view_base.h"

namespace prambus {

class SavedBytes {
 public:
  virtual ~SavedBytes() = default;
  // The next piece of about `size` bytes (a converted line end may take it
  // a few over); empty only at the end. Valid until the next call.
  virtual std::span<const uint8_t> Next(size_t size) = 0;
  // How far the reading has come, in the view's own characters or bytes.
  int64_t Done() const { return done_; }
  int64_t Total() const { return total_; }

 protected:
  int64_t done_ = 0, total_ = 0;
};

// A reader of the whole document, or of the selection when selectionOnly
// (nothing when there is none). It reads the view as it is when each piece
// is asked for: the view must outlive it and stay unchanged meanwhile.
std::unique_ptr<SavedBytes> ReadSavedBytes(ViewBase& view, bool selectionOnly);

}  // namespace prambus
