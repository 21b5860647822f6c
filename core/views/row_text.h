// Storage for the text view's display rows. A loaded document is copied into
// large arena chunks and each row borrows its bytes from there (6 bytes of
// bookkeeping per row, no allocation per row). A row that is edited takes an
// owned copy of its bytes first.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace prambus {

// A span of address space reserved without memory behind it, from which
// arena chunks are mapped. Rows borrowing bytes from the process's span
// keep a short offset into it instead of a whole pointer.
class AddressRange {
 public:
  // Reserves `want` bytes, or if the system refuses, half as many and so on
  // down to `least`; reserves nothing when even that is refused.
  AddressRange(size_t want, size_t least);
  AddressRange(const AddressRange&) = delete;
  AddressRange& operator=(const AddressRange&) = delete;
  // Gives the whole span back; nothing may be mapped from it any more.
  ~AddressRange();

  uint8_t* base() const { return base_; }
  size_t size() const { return size_; }
  // Room for n bytes (a multiple of 4 KiB) starting at a multiple of `align`
  // (a power of two, at least 4 KiB), the first free place that fits; still
  // inaccessible, for the caller to map over. Null when none fits.
  uint8_t* Take(size_t n, size_t align);
  // Makes [p, p + n), taken earlier, inaccessible again (its pages go back
  // to the system) and free to be taken anew. Any thread may give back.
  void Give(uint8_t* p, size_t n);
  size_t FreeBytes() const;

  // The process's span, reserved on first use and kept for good: up to
  // 64 GiB of addresses, fewer under a limit on the address space.
  static AddressRange& Process();

 private:
  uint8_t* base_ = nullptr;
  size_t size_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::pair<size_t, size_t>> free_;  // offset and size, in order, none adjacent
};

class RowArena {
 public:
  // Chunks come from the process's address range (rows borrowing from them
  // are the cheapest to keep), or from anywhere once it is full.
  RowArena() = default;
  // Chunks come from `range`, or from anywhere when it is null or full.
  explicit RowArena(AddressRange* range) : range_(range), processRange_(false) {}
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
    Mapping(uint8_t* b, size_t n, AddressRange* r) : base(b), size(n), range(r) {}
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping();
    uint8_t* base;
    std::atomic<size_t> size;
    AddressRange* range;  // given back there; null: mapped anywhere
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
  AddressRange* range_ = nullptr;
  bool processRange_ = true;  // range_ is the process's, found at the first chunk
};

// One display row in 6 bytes. Most rows borrow a short run of arena bytes
// in the process's address range: the run's offset there (36 bits), its
// length (1 to 2047) and a tag bit are packed into 48 bits. Any other row (an
// owned, edited row, or a borrowed run too long to pack or outside that
// range) keeps a pointer to a small heap record instead, shifted right by
// two (the record is 8-byte aligned) so that the tag bit is clear; an owned
// row's bytes follow that record in the same allocation.
class RowText {
 public:
  RowText() = default;
  RowText(const RowText&) = delete;
  RowText& operator=(const RowText&) = delete;
  RowText(RowText&& o) noexcept {
    std::memcpy(w_, o.w_, sizeof w_);
    o.Store(0);
  }
  RowText& operator=(RowText&& o) noexcept {
    if (this != &o) {
      Release();
      std::memcpy(w_, o.w_, sizeof w_);
      o.Store(0);
    }
    return *this;
  }
  ~RowText() { Release(); }

  int size() const {
    const uint64_t v = Load();
    if (v & kTag) return static_cast<int>((v >> kLenShift) & kPackedMax);
    return v ? static_cast<int>(heap(v)->len) : 0;
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
    Store(0);
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
  static constexpr uint64_t kTag = 1;  // set: a packed run; clear: a Heap*
  static constexpr int kLenShift = 1;
  static constexpr int kLenBits = 11;
  static constexpr uint32_t kPackedMax = (uint32_t(1) << kLenBits) - 1;
  static constexpr int kOffsetShift = kLenShift + kLenBits;
  static constexpr int kOffsetBits = 48 - kOffsetShift;
  static constexpr int kHeapShift = 2;  // a heap record's address, shifted right by this
  static_assert(alignof(Heap) >= (1 << kHeapShift) && alignof(std::max_align_t) >= alignof(Heap));

  // The 48 bits are kept in three 16-bit words (so rows pack at 2-byte
  // alignment), the lowest first. They are read as a 32-bit and a 16-bit
  // value joined in a register: copying the 6 bytes into a 64-bit variable
  // would go through memory and stall the load that reads it back.
  uint64_t Load() const {
    uint32_t low;
    if constexpr (std::endian::native == std::endian::little)
      std::memcpy(&low, w_, sizeof low);
    else
      low = uint32_t(w_[0]) | uint32_t(w_[1]) << 16;
    return uint64_t(low) | uint64_t(w_[2]) << 32;
  }
  void Store(uint64_t v) {
    const auto low = static_cast<uint32_t>(v);
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(w_, &low, sizeof low);
    } else {
      w_[0] = static_cast<uint16_t>(low);
      w_[1] = static_cast<uint16_t>(low >> 16);
    }
    w_[2] = static_cast<uint16_t>(v >> 32);
  }
  static Heap* heap(uint64_t v) {
    return reinterpret_cast<Heap*>(static_cast<uintptr_t>(v << kHeapShift));
  }
  static Heap* NewHeap(size_t bytes);  // a record that can be kept in 47 bits
  void SetHeap(Heap* h) {
    Store(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(h) >> kHeapShift));
  }

  bool IsPacked() const { return (Load() & kTag) != 0; }
  bool IsHeap() const {
    const uint64_t v = Load();
    return v != 0 && !(v & kTag);
  }
  Heap* heap() const { return heap(Load()); }
  uint8_t* bytes() const {
    const uint64_t v = Load();
    if (v & kTag)
      return reinterpret_cast<uint8_t*>(packBase_.load(std::memory_order_relaxed) +
                                        (v >> kOffsetShift));
    return v ? heap(v)->p : nullptr;
  }
  void Release() {
    ++changes_;
    if (IsHeap()) std::free(heap());
  }
  void Borrow(uint8_t* p, uint32_t n);            // an arena run; the row must not be owned
  void CopyAppend(const uint8_t* p, uint32_t n);  // into the row's own buffer
  void SetLength(uint32_t n);                     // n no longer than the row
  void Reserve(uint32_t n);                       // makes the row owned with room for n bytes

  // 0: empty; tag bit set: a packed run; else a Heap* shifted right.
  uint16_t w_[3] = {0, 0, 0};
  inline static uint64_t changes_ = 0, added_ = 0;
  // The process's address range, where packed runs lie; set once, before
  // any row is packed, by AddressRange::Process.
  inline static std::atomic<uintptr_t> packBase_{0};
  inline static std::atomic<size_t> packSize_{0};
  friend class AddressRange;
};

static_assert(sizeof(RowText) == 6 && alignof(RowText) == 2);

}  // namespace prambus
