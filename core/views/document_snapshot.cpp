#include "views/document_snapshot.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "io/huge_pages.h"
#include "io/posix_file.h"
#include "settings/settings.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {

namespace {
constexpr size_t kPage = 4096;

bool IsLineEndByte(uint8_t c) {
  return c == '\r' || c == '\n';
}
}  // namespace

SnapshotBuffer::SnapshotBuffer(size_t size) {
  // Room for the typing between one copy and the next, so the buffer is
  // made once while a document is edited.
  const size_t room = size + size / 32 + kPage;
  if (room >= kHugePageWorthy) {
    const size_t span = (room + kPage - 1) & ~(kPage - 1);
    data_ = static_cast<uint8_t*>(MapFilledSoon(span));
    if (!data_) throw std::bad_alloc();
    capacity_ = span;
    mapped_ = true;
  } else {
    data_ = static_cast<uint8_t*>(::operator new(room));
    capacity_ = room;
  }
  size_ = size;
}

SnapshotBuffer::~SnapshotBuffer() {
  Free();
}

SnapshotBuffer::SnapshotBuffer(SnapshotBuffer&& o) noexcept
    : data_(o.data_), size_(o.size_), capacity_(o.capacity_), mapped_(o.mapped_) {
  o.data_ = nullptr;
  o.size_ = o.capacity_ = 0;
}

SnapshotBuffer& SnapshotBuffer::operator=(SnapshotBuffer&& o) noexcept {
  if (this != &o) {
    Free();
    data_ = std::exchange(o.data_, nullptr);
    size_ = std::exchange(o.size_, 0);
    capacity_ = std::exchange(o.capacity_, 0);
    mapped_ = o.mapped_;
  }
  return *this;
}

bool SnapshotBuffer::Fit(size_t size) {
  // A buffer far larger than needed is given back rather than kept.
  if (size > capacity_ || (capacity_ > kHugePageWorthy && size < capacity_ / 2)) return false;
  size_ = size;
  return true;
}

void SnapshotBuffer::Free() {
  if (!data_) return;
  if (mapped_)
    ::munmap(data_, capacity_);
  else
    ::operator delete(data_);
  data_ = nullptr;
}

void TakeSnapshot(const ViewBase& view, DocumentSnapshot& snapshot) {
  const size_t total = static_cast<size_t>(std::max<int64_t>(0, view.GetTextLength()));
  if (!snapshot.bytes.Fit(total)) {
    snapshot.bytes = SnapshotBuffer();  // the old one goes before the new one comes
    snapshot.bytes = SnapshotBuffer(total);
  }
  uint8_t* out = snapshot.bytes.data();
  snapshot.lineEndRowEnds.clear();
  if (const auto* hex = dynamic_cast<const HexView*>(&view)) {
    snapshot.toFile = IdentityTable();
    snapshot.convertLineEnds = false;
    snapshot.lineEnd.clear();
    const std::span<const uint8_t> front = hex->Data().Front(), back = hex->Data().Back();
    if (!front.empty()) std::memcpy(out, front.data(), front.size());
    if (!back.empty()) std::memcpy(out + front.size(), back.data(), back.size());
    return;
  }
  const auto& text = dynamic_cast<const TextView&>(view);
  snapshot.toFile = InverseTable(text.CharTable);
  snapshot.convertLineEnds = text.ConvertLineEnds;
  snapshot.lineEnd = text.ConvertLineEnds ? Cfg().LineEnd : std::string();
  // Rows taken in from a file lie one after another in memory: a run of
  // them is one copy.
  const uint8_t* runStart = nullptr;
  const uint8_t* runEnd = nullptr;
  size_t at = 0;
  for (int r = 0; r <= text.LastRow; ++r) {
    const std::string_view row = text.GetRow(r);
    const auto* p = reinterpret_cast<const uint8_t*>(row.data());
    if (p != runEnd || runEnd == nullptr) {
      if (runStart) std::memcpy(out + at, runStart, static_cast<size_t>(runEnd - runStart));
      at += static_cast<size_t>(runEnd - runStart);
      runStart = p;
    }
    runEnd = p + row.size();
    if (snapshot.convertLineEnds && !row.empty() && IsLineEndByte(static_cast<uint8_t>(row.back())))
      snapshot.lineEndRowEnds.push_back(
          static_cast<uint32_t>(at + static_cast<size_t>(runEnd - runStart)));
  }
  if (runStart) std::memcpy(out + at, runStart, static_cast<size_t>(runEnd - runStart));
}

void WriteSnapshot(int fd, const DocumentSnapshot& snapshot) {
  OutputFile out = OutputFile::Borrowing(fd);
  const uint8_t* bytes = snapshot.bytes.data();
  const size_t size = snapshot.bytes.size();
  const bool identity = snapshot.toFile == IdentityTable();
  constexpr size_t kPiece = size_t(1) << 20;
  std::vector<uint8_t> piece;
  piece.reserve(kPiece + snapshot.lineEnd.size());
  auto flush = [&] {
    if (!piece.empty()) out.Write(piece.data(), piece.size());
    piece.clear();
  };
  // Bytes [from, to) of the snapshot, through the table.
  auto put = [&](const uint8_t* from, size_t n) {
    if (identity && piece.empty() && n >= kPiece) {
      out.Write(from, n);
      return;
    }
    while (n > 0) {
      const size_t take = std::min(n, kPiece - std::min(kPiece, piece.size()));
      if (take == 0) {
        flush();
        continue;
      }
      const size_t was = piece.size();
      piece.resize(was + take);
      for (size_t i = 0; i < take; ++i) piece[was + i] = snapshot.toFile[from[i]];
      from += take;
      n -= take;
    }
  };
  size_t done = 0;
  if (snapshot.convertLineEnds) {
    const auto* lineEnd = reinterpret_cast<const uint8_t*>(snapshot.lineEnd.data());
    size_t bound = 0;  // where the previous row with a line end ended
    for (const uint32_t end : snapshot.lineEndRowEnds) {
      // The row's line end is the CR and LF it ends with.
      size_t keep = end;
      while (keep > bound && IsLineEndByte(bytes[keep - 1])) --keep;
      put(bytes + done, keep - done);
      put(lineEnd, snapshot.lineEnd.size());
      done = bound = end;
    }
  }
  put(bytes + done, size - done);
  flush();
}

}  // namespace prambus
