// Loading and saving the text view: the file is read in blocks straight into
// the rows through the display table, and written back through its inverse.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "io/heap_release.h"
#include "io/huge_pages.h"
#include "io/io_error.h"
#include "io/posix_file.h"
#include "settings/settings.h"
#include "views/saved_bytes.h"
#include "views/text_view.h"

namespace prambus {
namespace {
// The share of a load's expected rows the row array is sure to reach.
constexpr double kSureShare = 0.95;
}  // namespace

// Takes the document's bytes in blocks straight into the row arena, where the
// rows keep them, and lays each block out as it comes. Between steps the rows
// hold the document's first part exactly as a whole load would lay it out.
// The source says where the bytes come from: a file or another view's bytes.
class TextView::SteppedLoad : public DocumentLoad {
 public:
  bool Step(size_t maxBytes) override {
    if (finished_) return true;
    TextView& v = view_;
    // The widest row is kept up to date across steps, so that a window asking
    // for the document's width after each step walks only the new rows.
    const int widest = v.widest_, widestRows = v.widestRows_;
    const int first = v.lastRow_;
    const int firstWidth = v.RowWidths[first];
    size_t budget = std::max<size_t>(maxBytes, 1);
    while (budget > 0) {
      const size_t want = std::min(kBlock, budget);
      uint8_t* block = v.arena_->Reserve(want);
      const size_t n = Read(block, want);
      if (n == 0) {
        // A source cut short while it was read would show as a whole document
        // that is not the file: the load fails instead.
        if (done_ < total_)
          throw IoError("the file shrank while it was read: " + name_, FileProblem::kShortRead);
        finished_ = true;
        v.FlushUtf8Carry();
        v.arena_->ReleaseUnusedTail();
        v.NoteLength(done_);  // the whole document is what was read
        ReleaseFreeHeap();
        break;
      }
      done_ += static_cast<int64_t>(n);
      if (done_ > kMaxDocumentSize)
        throw IoError("file too large: " + name_, FileProblem::kTooLarge, EFBIG);
      if (!identity_)
        for (size_t i = 0; i < n; ++i) block[i] = v.charTable_[block[i]];
      v.AppendBytes(block, static_cast<int>(n));
      budget -= n;
      if ((static_cast<uint64_t>(done_) & (kAdviseEvery - 1)) < n) v.AdviseRowPages(done_, total_);
    }
    if (widest >= 0) {
      // Only the last row of the step before and the rows after it changed.
      v.widest_ = widest;
      v.widestRows_ = widestRows - (firstWidth == widest ? 1 : 0);
      for (int r = first; r <= v.lastRow_; ++r) v.CountWidth(v.RowWidths[r]);
      if (v.widestRows_ <= 0) v.widest_ = -1;  // the widest row got narrower: count anew
    }
    return finished_;
  }

 protected:
  SteppedLoad(TextView& view, std::string name, int64_t total)
      : view_(view), name_(std::move(name)) {
    total_ = total;
    if (total_ > kMaxDocumentSize)
      throw IoError("file too large: " + name_, FileProblem::kTooLarge, EFBIG);
    for (int i = 0; i < 256; ++i) identity_ = identity_ && view.charTable_[i] == i;
    view.ExpectLength(total_);
  }
  // Copies up to n bytes of the source into block; 0 at its end.
  virtual size_t Read(uint8_t* block, size_t n) = 0;

 private:
  static constexpr size_t kBlock = 8192;
  static constexpr uint64_t kAdviseEvery = uint64_t(1) << 20;  // a power of two
  TextView& view_;
  std::string name_;
  bool identity_ = true;
};

class TextView::FileLoad : public SteppedLoad {
 public:
  FileLoad(TextView& view, const std::string& name)
      : FileLoad(view, name, std::make_unique<InputFile>(name)) {}

 protected:
  size_t Read(uint8_t* block, size_t n) override {
    const size_t got = in_->Read(block, n);
    HashRead(block, got);
    return got;
  }

 private:
  FileLoad(TextView& view, const std::string& name, std::unique_ptr<InputFile> in)
      : SteppedLoad(view, name, in->Size()), in_(std::move(in)) {}
  std::unique_ptr<InputFile> in_;
};

class TextView::BytesLoad : public SteppedLoad {
 public:
  BytesLoad(TextView& view, std::span<const uint8_t> first, std::span<const uint8_t> second)
      : SteppedLoad(view, "document", static_cast<int64_t>(first.size() + second.size())),
        first_(first),
        second_(second) {}

 protected:
  size_t Read(uint8_t* block, size_t n) override {
    if (first_.empty()) std::swap(first_, second_);
    const size_t take = std::min(n, first_.size());
    if (take) std::memcpy(block, first_.data(), take);
    first_ = first_.subspan(take);
    return take;
  }

 private:
  std::span<const uint8_t> first_, second_;
};

std::unique_ptr<DocumentLoad> TextView::BeginLoad(const std::string& name) {
  return std::make_unique<FileLoad>(*this, name);
}

std::unique_ptr<DocumentLoad> TextView::BeginCopy(std::span<const uint8_t> first,
                                                  std::span<const uint8_t> second) {
  return std::make_unique<BytesLoad>(*this, first, second);
}

// Room for the rows of a typical text, so the row arrays need not move while
// they grow (untouched capacity costs no memory).
void TextView::ExpectLength(int64_t bytes) {
  arena_->ExpectMore(static_cast<size_t>(std::max<int64_t>(0, bytes)));
  const size_t expectedRows =
      static_cast<size_t>(lastRow_) + static_cast<size_t>(std::max<int64_t>(0, bytes) / 24) + 16;
  if (expectedRows <= Rows.capacity()) return;
  Rows.reserve(expectedRows);
  RowWidths.reserve(expectedRows);
}

// Huge pages make the row array cheap to fill (one fault per 2 MiB), but the
// last one is resident whole however few rows reach into it. So they are
// asked for only up to where the rows will surely go, as the load learns how
// many rows its bytes make; the end of the array keeps small pages.
void TextView::AdviseRowPages(int64_t done, int64_t total) {
  if (done <= 0 || total <= done) return;
  const double expected = static_cast<double>(lastRow_) * static_cast<double>(total) /
                          static_cast<double>(done) * kSureShare;
  const size_t rows = std::min(static_cast<size_t>(expected), Rows.capacity());
  AdviseHugePages(Rows.data(), rows * sizeof(RowText));
}

void TextView::WriteContent(int fd) {
  OutputFile out = OutputFile::Borrowing(fd);
  // Rows are gathered into large writes: a 100 MB document costs about a
  // hundred system calls.
  constexpr size_t kPiece = size_t(1) << 20;
  const std::unique_ptr<SavedBytes> bytes = ReadSavedBytes(*this, false);
  for (auto piece = bytes->Next(kPiece); !piece.empty(); piece = bytes->Next(kPiece))
    out.Write(piece.data(), piece.size());
}

bool TextView::SavingChangesLineEnds() const {
  if (!ConvertLineEnds) return false;
  const std::string_view lineEnd = Cfg().LineEnd;
  for (int r = 0; r <= lastRow_; ++r) {
    if (!EndsWithLineEnd(r)) continue;
    const RowText& row = Rows[r];
    const int start = LineEndStart(r);
    const std::string_view run(reinterpret_cast<const char*>(row.data()) + start,
                               static_cast<size_t>(row.size() - start));
    if (run != lineEnd) return true;
  }
  return false;
}

}  // namespace prambus
