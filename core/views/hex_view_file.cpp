// Loading and saving the hex view: the file byte for byte, read in slices.
#include <algorithm>
#include <cerrno>

#include "io/binary_stream.h"
#include "io/heap_release.h"
#include "io/io_error.h"
#include "io/posix_file.h"
#include "views/hex_view.h"

namespace prambus {

// Reads the file into the byte array slice by slice. Room for the whole file
// is taken at the start without touching it, and each slice is read straight
// into its place.
class HexView::FileLoad : public DocumentLoad {
 public:
  FileLoad(HexView& view, const std::string& name) : view_(view), in_(name), name_(name) {
    total_ = in_.Size();
    if (total_ > kMaxDocumentSize)
      throw IoError("file too large: " + name, FileProblem::kTooLarge, EFBIG);
    view.Bytes.Release();
    view.ExpectLength(total_);
    view.lastRow_ = 0;
  }

  bool Step(size_t maxBytes) override {
    if (finished_) return true;
    GapBytes& bytes = view_.Bytes;
    const size_t want =
        std::min(std::max<size_t>(maxBytes, 1), static_cast<size_t>(total_ - done_));
    size_t got = 0;
    if (want > 0) {
      uint8_t* room = bytes.AppendRoom(want);
      while (got < want) {
        const size_t n = in_.Read(room + got, want - got);
        if (n == 0) break;
        HashRead(room + got, n);
        got += n;
      }
      // Only bytes the file really gave are shown: a file cut short while it
      // is read fails to load instead of ending in invented bytes.
      bytes.CommitAppend(got);
      done_ += static_cast<int64_t>(got);
      view_.lastRow_ = view_.Length() / view_.Columns();
    }
    if (got < want)
      throw IoError("the file shrank while it was read: " + name_, FileProblem::kShortRead);
    if (done_ == total_) {
      finished_ = true;
      ReleaseFreeHeap();
      // The data window opened with the view, before its bytes were here.
      if (view_.DataWindowShown && view_.paintDataWindow) view_.paintDataWindow();
    }
    return finished_;
  }

 private:
  HexView& view_;
  InputFile in_;
  std::string name_;
};

std::unique_ptr<DocumentLoad> HexView::BeginLoad(const std::string& name) {
  return std::make_unique<FileLoad>(*this, name);
}

void HexView::WriteContent(int fd) {
  BinaryStream f(fd);
  f.WriteBytes(Bytes.Front().data(), Bytes.Front().size());
  f.WriteBytes(Bytes.Back().data(), Bytes.Back().size());
  f.Close();
  if (!f.Ok()) throw IoError::FromErrno("cannot write the document", f.Error());
}

}  // namespace prambus
