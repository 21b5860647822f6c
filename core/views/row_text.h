// Storage for the text view's display rows. A loaded document is copied into
// large arena chunks and each row borrows its bytes from there (8 bytes of
// bookkeeping per row, no allocation per row). A row that is edited takes an
// owned copy of its bytes first.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

class RowArena {
 public:
  RowArena() = default;
  RowArena(const RowArena&) = delete;
  RowArena& operator=(const RowArena&) = delete;
  ~RowArena();

  // Copies n bytes to the end of the arena and returns where they went.
  // Consecutive copies into the same chunk are contiguous. Bytes that already
  // lie at the end (see Reserve) are taken where they are.
  uint8_t* Push(const uint8_t* p, size_t n);
  // Room for n bytes at the end of the arena, to be filled by the caller and
  // then handed to Push in order (a file is read straight into the arena).
  uint8_t* Reserve(size_t n);
  // Whether p is the current end of the arena and n more bytes fit there.
  bool CanExtend(const uint8_t* p, size_t n) const { return p == top_ && n <= size_t(end_ - top_); }
  size_t BytesReserved() const { return reserved_; }
  // About n more bytes are coming (a file of known size): the chunk that
  // takes the last of them is no larger than they need, since its pages are
  // made resident when it is mapped.
  void ExpectMore(size_t n) {
    expectLeft_ = n;
    expecting_ = n > 0;
  }

  // Chunks can be given back one by one while rows are copied out of the
  // arena (a new layout of the whole document), so its bytes are never held
  // twice over.
  size_t ChunkCount() const { return chunks_.size(); }
  // The chunk holding p, a byte of a row borrowed from this arena; -1: none.
  int ChunkOf(const uint8_t* p) const;
  // Whether a and b lie in the same chunk of this arena.
  bool SameChunk(const uint8_t* a, const uint8_t* b) const;
  // Unmaps a chunk; no row may borrow from it any more.
  void ReleaseChunk(size_t i);
  // Gives back the whole pages after the end of the last chunk's bytes: a
  // chunk is mapped populated, so its unused tail would otherwise stay
  // resident (up to a chunk's size) once a document has been taken in.
  void ReleaseUnusedTail();

  // Keeps the chunks mapped for as long as the holder keeps what this
  // returns, even once the arena gives them back: another thread may go on
  // reading the bytes rows borrow. Borrowed bytes are never written again
  // (an edited row copies its bytes first), so such a reader sees them as
  // they were.
  std::vector<std::shared_ptr<const void>> Hold() const;
  // Whether a holder other than the arena keeps any chunk (its bytes must
  // not be changed in place then).
  bool Held() const;

 private:
  void NewChunk(size_t n);

  // A chunk's pages, unmapped when neither the arena nor a holder wants them.
  struct Mapping {
    Mapping(uint8_t* b, size_t n) : base(b), size(n) {}
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping();
    uint8_t* base;
    std::atomic<size_t> size;
  };
  struct Chunk {
    uint8_t* base;
    size_t size;
    std::shared_ptr<Mapping> mapping;
  };
  std::vector<Chunk> chunks_;
  uint8_t* top_ = nullptr;
  uint8_t* end_ = nullptr;
  size_t reserved_ = 0;
  size_t expectLeft_ = 0;  // bytes still expected (see ExpectMore)
  bool expecting_ = false;
  mutable size_t hint_ = 0;  // the chunk ChunkOf found last: rows come in order
};

// One display row in 8 bytes. Most rows borrow a short run of arena bytes:
// the pointer (user-space addresses fit in 48 bits) and the length (1 to
// 65535) are packed into one word. Any other row (an owned, edited row, or a
// borrowed run too long or too high in memory to pack) keeps a pointer to a
// small heap record instead; an owned row's bytes follow that record in the
// same allocation.
class RowText {
 public:
  RowText() = default;
  RowText(const RowText&) = delete;
  RowText& operator=(const RowText&) = delete;
  RowText(RowText&& o) noexcept : v_(o.v_) { o.v_ = 0; }
  RowText& operator=(RowText&& o) noexcept {
    if (this != &o) {
      Release();
      v_ = o.v_;
      o.v_ = 0;
    }
    return *this;
  }
  ~RowText() { Release(); }

  int size() const {
    if (IsPacked()) return static_cast<int>(v_ >> kLenShift);
    return v_ ? static_cast<int>(heap()->len) : 0;
  }
  bool empty() const { return size() == 0; }
  const uint8_t* data() const { return bytes(); }
  uint8_t operator[](int i) const { return bytes()[i]; }
  uint8_t back() const { return bytes()[size() - 1]; }
  std::string_view view() const {
    return {reinterpret_cast<const char*>(bytes()), static_cast<size_t>(size())};
  }
  std::string str() const { return std::string(view()); }
  // Whether the row holds its own copy of its bytes rather than borrowing
  // them from an arena.
  bool owned() const { return IsHeap() && heap()->cap != 0; }

  // Appends, extending in the arena when the row ends at the arena's top.
  void Append(const uint8_t* p, int n, RowArena* arena);
  // Appends bytes that lie in `arena` and stay where they are (a row laid out
  // again from rows that borrow them): an empty row borrows them, a borrowed
  // row that they follow in the same chunk grows over them, and any other
  // row copies them. The caller keeps rows from sharing bytes.
  void AppendInPlace(const uint8_t* p, int n, const RowArena& arena);
  void Append(std::string_view s) {
    Append(reinterpret_cast<const uint8_t*>(s.data()), int(s.size()), nullptr);
  }
  void Insert(int pos, const uint8_t* p, int n);
  void Insert(int pos, std::string_view s) {
    Insert(pos, reinterpret_cast<const uint8_t*>(s.data()), int(s.size()));
  }
  void Erase(int pos, int n);
  void Truncate(int n) {
    if (n < size()) SetLength(static_cast<uint32_t>(n < 0 ? 0 : n));
  }
  void Assign(std::string_view s);
  void Clear() {
    Release();
    v_ = 0;
  }
  // Exchanges the characters through a 256-entry table in place.
  void MapThrough(const uint8_t* table);

  // Counters over every row of the process (one thread): how often any row's
  // length may have changed, and how many bytes have been added to rows. A
  // view bounds its length with them instead of summing its rows.
  static uint64_t Changes() { return changes_; }
  static uint64_t BytesAdded() { return added_; }

 private:
  struct Heap {
    uint8_t* p;  // the bytes: right after this record when owned
    uint32_t len;
    uint32_t cap;  // 0: the bytes are borrowed from an arena
  };
  static constexpr int kLenShift = 48;
  static constexpr uint64_t kPointerMask = (uint64_t(1) << kLenShift) - 1;
  static constexpr uint32_t kPackedMax = 0xFFFF;

  bool IsPacked() const { return (v_ >> kLenShift) != 0; }
  bool IsHeap() const { return v_ != 0 && !IsPacked(); }
  Heap* heap() const { return reinterpret_cast<Heap*>(static_cast<uintptr_t>(v_)); }
  uint8_t* bytes() const {
    if (IsPacked()) return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(v_ & kPointerMask));
    return v_ ? heap()->p : nullptr;
  }
  void Release() {
    ++changes_;
    if (IsHeap()) std::free(heap());
  }
  void Borrow(uint8_t* p, uint32_t n);            // an arena run; the row must not be owned
  void CopyAppend(const uint8_t* p, uint32_t n);  // into the row's own buffer
  void SetLength(uint32_t n);                     // n no longer than the row
  void Reserve(uint32_t n);                       // makes the row owned with room for n bytes

  uint64_t v_ = 0;  // 0: empty; high 16 bits set: packed run; else a Heap*
  inline static uint64_t changes_ = 0, added_ = 0;
};

static_assert(sizeof(RowText) == 8);

}  // namespace prambus
