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

bool SnapshotCopiesEverything(const ViewBase& view) {
  return dynamic_cast<const HexView*>(&view) != nullptr;
}

void LetGoOfHeldBytes(DocumentSnapshot& snapshot) {
  snapshot.runs.clear();
  snapshot.held.clear();
}

namespace {
void TakeHex(const HexView& hex, DocumentSnapshot& snapshot) {
  const size_t total = static_cast<size_t>(std::max<int64_t>(0, hex.GetTextLength()));
  if (!snapshot.bytes.Fit(total)) {
    snapshot.bytes = SnapshotBuffer();  // the old one goes before the new one comes
    snapshot.bytes = SnapshotBuffer(total);
  }
  uint8_t* out = snapshot.bytes.data();
  snapshot.toFile = IdentityTable();
  snapshot.convertLineEnds = false;
  snapshot.lineEnd.clear();
  const std::span<const uint8_t> front = hex.Data().Front(), back = hex.Data().Back();
  if (!front.empty()) std::memcpy(out, front.data(), front.size());
  if (!back.empty()) std::memcpy(out + front.size(), back.data(), back.size());
  if (total) snapshot.runs.push_back({out, total});
}

void TakeText(const TextView& text, DocumentSnapshot& snapshot) {
  snapshot.bytes = SnapshotBuffer();
  snapshot.toFile = InverseTable(text.CharTable());
  snapshot.convertLineEnds = text.ConvertLineEnds;
  snapshot.lineEnd = text.ConvertLineEnds ? Cfg().LineEnd : std::string();
  const RowArena& arena = text.Arena();
  snapshot.held = arena.Hold();
  std::vector<DocumentSnapshot::Run>& runs = snapshot.runs;
  std::vector<uint8_t>& edited = snapshot.edited;
  edited.clear();
  // A run of copied bytes is noted by its offset in `edited` (which may
  // still move as it grows) and pointed at once that is complete.
  std::vector<std::pair<size_t, size_t>> copiedRuns;  // (run, offset in edited)
  // The run being gathered: borrowed bytes [runStart, runEnd), or copied
  // bytes from copyFrom to the end of `edited`.
  const uint8_t* runStart = nullptr;
  const uint8_t* runEnd = nullptr;
  bool copying = false;
  size_t copyFrom = 0;
  size_t at = 0;  // the snapshot's length before that run
  auto gathered = [&] {
    return copying ? edited.size() - copyFrom : static_cast<size_t>(runEnd - runStart);
  };
  auto closeRun = [&] {
    if (!copying && runStart && (arena.ChunkOf(runStart) < 0 || arena.ChunkOf(runEnd - 1) < 0)) {
      // Not the arena's: bytes the snapshot cannot keep readable.
      copyFrom = edited.size();
      edited.insert(edited.end(), runStart, runEnd);
      copying = true;
    }
    const size_t n = gathered();
    if (n) {
      if (copying) copiedRuns.emplace_back(runs.size(), copyFrom);
      runs.push_back({runStart, n});
    }
    at += n;
    runStart = runEnd = nullptr;
    copying = false;
  };
  for (int r = 0; r <= text.LastRow(); ++r) {
    const RowText& row = text.RowStorage(r);
    const int n = row.size();
    if (n == 0) continue;
    const uint8_t* p = row.data();
    if (row.owned()) {
      // An edited row: its bytes may change once the window goes on.
      if (!copying) {
        closeRun();
        copying = true;
        copyFrom = edited.size();
      }
      edited.insert(edited.end(), p, p + n);
    } else {
      // Rows taken in from a file lie one after another in memory: a run of
      // them is one piece.
      if (copying || p != runEnd) {
        closeRun();
        runStart = p;
      }
      runEnd = p + n;
    }
    if (snapshot.convertLineEnds && IsLineEndByte(row.back()))
      snapshot.lineEndRowEnds.push_back(static_cast<uint32_t>(at + gathered()));
  }
  closeRun();
  for (const auto& [run, offset] : copiedRuns) runs[run].p = edited.data() + offset;
}
}  // namespace

void TakeSnapshot(ViewBase& view, DocumentSnapshot& snapshot) {
  LetGoOfHeldBytes(snapshot);
  snapshot.lineEndRowEnds.clear();
  if (const auto* hex = dynamic_cast<const HexView*>(&view)) {
    TakeHex(*hex, snapshot);
    return;
  }
  auto& text = dynamic_cast<TextView&>(view);
  text.MoveEditedRowsToArena();
  TakeText(text, snapshot);
}

void WriteSnapshot(int fd, const DocumentSnapshot& snapshot) {
  OutputFile out = OutputFile::Borrowing(fd);
  const bool identity = snapshot.toFile == IdentityTable();
  constexpr size_t kPiece = size_t(1) << 20;
  std::vector<uint8_t> piece;
  piece.reserve(kPiece + snapshot.lineEnd.size());
  auto flush = [&] {
    if (!piece.empty()) out.Write(piece.data(), piece.size());
    piece.clear();
  };
  // n bytes from `from`, through the table.
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
  // The snapshot's bytes are read front to back: `run` is the run that holds
  // offset `done`, and it starts at offset runAt.
  const std::vector<DocumentSnapshot::Run>& runs = snapshot.runs;
  size_t run = 0, runAt = 0, done = 0;
  auto putUpTo = [&](size_t to) {
    while (done < to) {
      while (done >= runAt + runs[run].n) runAt += runs[run++].n;
      const size_t n = std::min(to, runAt + runs[run].n) - done;
      put(runs[run].p + (done - runAt), n);
      done += n;
    }
  };
  // The byte at offset `at`, not before `done`.
  auto byteAt = [&](size_t at) {
    size_t r = run, rAt = runAt;
    while (at >= rAt + runs[r].n) rAt += runs[r++].n;
    return runs[r].p[at - rAt];
  };
  if (snapshot.convertLineEnds) {
    const auto* lineEnd = reinterpret_cast<const uint8_t*>(snapshot.lineEnd.data());
    for (const uint32_t end : snapshot.lineEndRowEnds) {
      // The row's line end is the CR and LF it ends with.
      size_t keep = end;
      while (keep > done && IsLineEndByte(byteAt(keep - 1))) --keep;
      putUpTo(keep);
      put(lineEnd, snapshot.lineEnd.size());
      done = end;
    }
  }
  size_t size = 0;
  for (const DocumentSnapshot::Run& r : runs) size += r.n;
  putUpTo(size);
  flush();
}

}  // namespace prambus
