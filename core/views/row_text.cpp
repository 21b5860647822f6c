#include "views/row_text.h"

#include <sys/mman.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "io/huge_pages.h"

namespace prambus {
namespace {
constexpr size_t kChunk = size_t(1) << 20;     // 1 MiB
constexpr size_t kBigChunk = size_t(4) << 20;  // once a document outgrows the first chunk
constexpr size_t kExpectSlack = size_t(64) << 10;
constexpr size_t kHugeAlign = size_t(2) << 20;
constexpr size_t kPage = 4096;

constexpr int kInaccessible = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;
}  // namespace

AddressRange::AddressRange(size_t want, size_t least) {
  for (size_t n = want / kPage * kPage; n >= least && n >= kPage; n = n / 2 / kPage * kPage) {
    void* p = ::mmap(nullptr, n, PROT_NONE, kInaccessible, -1, 0);
    if (p == MAP_FAILED) continue;
    base_ = static_cast<uint8_t*>(p);
    size_ = n;
    free_.push_back({0, n});
    return;
  }
}

AddressRange::~AddressRange() {
  if (base_) ::munmap(base_, size_);
}

size_t AddressRange::FreeBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t n = 0;
  for (const auto& f : free_) n += f.second;
  return n;
}

uint8_t* AddressRange::Take(size_t n, size_t align) {
  if (!base_ || n == 0) return nullptr;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto origin = reinterpret_cast<uintptr_t>(base_);
  for (size_t i = 0; i < free_.size(); ++i) {
    const auto [at, len] = free_[i];
    const uintptr_t start = (origin + at + align - 1) & ~uintptr_t(align - 1);
    const size_t skip = start - (origin + at);
    if (skip > len || len - skip < n) continue;
    // What is left before and after the taken room stays free.
    const size_t after = len - skip - n;
    if (skip && after) {
      free_[i].second = skip;
      free_.insert(free_.begin() + static_cast<std::ptrdiff_t>(i) + 1, {at + skip + n, after});
    } else if (skip) {
      free_[i].second = skip;
    } else if (after) {
      free_[i] = {at + n, after};
    } else {
      free_.erase(free_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return base_ + at + skip;
  }
  return nullptr;
}

void AddressRange::Give(uint8_t* p, size_t n) {
  if (n == 0) return;
  // Mapped over in one step, so no other mapping can come between; should
  // the system refuse, the pages are at least dropped, and the room is
  // mapped over again when it is taken anew.
  if (::mmap(p, n, PROT_NONE, kInaccessible | MAP_FIXED, -1, 0) == MAP_FAILED)
    ::madvise(p, n, MADV_DONTNEED);
  const size_t at = static_cast<size_t>(p - base_);
  std::lock_guard<std::mutex> lock(mutex_);
  auto next = std::lower_bound(free_.begin(), free_.end(), std::pair<size_t, size_t>(at, 0));
  if (next != free_.begin()) {
    auto prev = next - 1;
    if (prev->first + prev->second == at) {
      prev->second += n;
      if (next != free_.end() && at + n == next->first) {
        prev->second += next->second;
        free_.erase(next);
      }
      return;
    }
  }
  if (next != free_.end() && at + n == next->first) {
    next->first = at;
    next->second += n;
    return;
  }
  free_.insert(next, {at, n});
}

AddressRange& AddressRange::Process() {
  // Kept for good: a chunk may be given back by a holder on another thread
  // as late as the process's exit.
  static AddressRange* const range = [] {
    constexpr size_t kWant = size_t(1) << RowText::kOffsetBits;  // 64 GiB
    constexpr size_t kLeast = size_t(256) << 20;
    size_t want = kWant;
    // Under a limit on the address space, take no more than a quarter of it.
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
      want = std::min<size_t>(want, static_cast<size_t>(limit.rlim_cur / 4));
    auto* r = new AddressRange(want, kLeast);
    RowText::packBase_.store(reinterpret_cast<uintptr_t>(r->base()), std::memory_order_relaxed);
    RowText::packSize_.store(r->size(), std::memory_order_relaxed);
    return r;
  }();
  return *range;
}

RowArena::~RowArena() = default;

RowArena::Mapping::~Mapping() {
  const size_t n = size.load(std::memory_order_relaxed);
  if (range)
    range->Give(base, n);
  else
    ::munmap(base, n);
}

std::vector<std::shared_ptr<const void>> RowArena::Hold() const {
  std::vector<std::shared_ptr<const void>> held;
  held.reserve(chunks_.size());
  for (const Chunk& c : chunks_)
    if (c.mapping) held.push_back(c.mapping);
  return held;
}

bool RowArena::Held() const {
  for (const Chunk& c : chunks_)
    if (c.mapping && c.mapping.use_count() > 1) return true;
  // What the last other holder read happened before it let go.
  std::atomic_thread_fence(std::memory_order_acquire);
  return false;
}

int RowArena::ChunkOf(const uint8_t* p) const {
  auto holds = [&](size_t i) {
    const Chunk& c = chunks_[i];
    return c.base && p >= c.base && p < c.base + c.size;
  };
  for (size_t i : {hint_, hint_ + 1})
    if (i < chunks_.size() && holds(i)) return static_cast<int>(hint_ = i);
  for (size_t i = 0; i < chunks_.size(); ++i)
    if (holds(i)) return static_cast<int>(hint_ = i);
  return -1;
}

bool RowArena::SameChunk(const uint8_t* a, const uint8_t* b) const {
  const int c = ChunkOf(a);
  if (c < 0) return false;
  const Chunk& k = chunks_[static_cast<size_t>(c)];
  return b >= k.base && b < k.base + k.size;
}

void RowArena::ReleaseChunk(size_t i) {
  Chunk& c = chunks_[i];
  if (!c.base) return;
  c.mapping.reset();  // unmapped now, or when its last holder lets go
  reserved_ -= c.size;
  if (top_ >= c.base && top_ <= c.base + c.size) top_ = end_ = nullptr;
  c.base = nullptr;
}

void RowArena::ReleaseUnusedTail() {
  if (chunks_.empty() || !top_) return;
  Chunk& c = chunks_.back();
  if (!c.base || top_ < c.base || top_ > c.base + c.size) return;
  const size_t keep = (static_cast<size_t>(top_ - c.base) + 4095) / 4096 * 4096;
  if (keep >= c.size) return;
  if (keep == 0) {
    ReleaseChunk(chunks_.size() - 1);
    return;
  }
  // Past the arena's top: no row borrows from there, and no holder reads it.
  if (c.mapping->range)
    c.mapping->range->Give(c.base + keep, c.size - keep);
  else
    ::munmap(c.base + keep, c.size - keep);
  reserved_ -= c.size - keep;
  c.size = keep;
  c.mapping->size.store(keep, std::memory_order_relaxed);
  end_ = c.base + keep;
}

// A chunk is mapped with its pages populated in one call: much cheaper than
// one page fault per 4 KiB while a large document is filled in, and small
// enough that the fresh pages are still in the cache when they are written.
// The first chunk serves small documents; the later ones are larger and on
// huge pages where the system has them.
void RowArena::NewChunk(size_t n) {
  size_t chunk = chunks_.empty() ? kChunk : kBigChunk;
  if (expecting_) {
    // The rest of an expected document, with room for a little more; once it
    // has come, chunks take their usual sizes again.
    if (expectLeft_ == 0)
      expecting_ = false;
    else
      chunk = std::min(chunk, expectLeft_ + kExpectSlack);
  }
  const size_t size = ((n > chunk ? n : chunk) + 4095) / 4096 * 4096;
  const bool huge = size >= kHugePageWorthy;
  if (processRange_ && !range_) range_ = &AddressRange::Process();
  // In the range when there is room, else anywhere (rows borrowing from
  // there cost a heap record each, but the document still fits).
  AddressRange* range = range_;
  void* raw = range ? range->Take(size, huge ? kHugeAlign : kPage) : nullptr;
  if (raw) {
    const int populate = huge ? 0 : MAP_POPULATE;
    if (::mmap(raw, size, PROT_READ | PROT_WRITE,
               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | populate, -1, 0) == MAP_FAILED) {
      range->Give(static_cast<uint8_t*>(raw), size);
      throw std::bad_alloc();
    }
    if (huge) PrepareFilledSoon(raw, size);
  } else if (huge) {
    range = nullptr;
    raw = MapFilledSoon(size);
    if (!raw) throw std::bad_alloc();
  } else {
    range = nullptr;
    raw = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE,
                 -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
  }
  auto* base = static_cast<uint8_t*>(raw);
  std::shared_ptr<Mapping> mapping;
  try {
    mapping = std::make_shared<Mapping>(base, size, range);
  } catch (const std::bad_alloc&) {
    if (range)
      range->Give(base, size);
    else
      ::munmap(raw, size);
    throw;
  }
  chunks_.push_back({base, size, std::move(mapping)});
  reserved_ += size;
  top_ = base;
  end_ = base + size;
}

uint8_t* RowArena::Reserve(size_t n) {
  if (n > size_t(end_ - top_)) NewChunk(n);
  return top_;
}

uint8_t* RowArena::Push(const uint8_t* p, size_t n) {
  if (n > size_t(end_ - top_)) NewChunk(n);
  uint8_t* at = top_;
  expectLeft_ -= std::min(expectLeft_, n);
  // The bytes may already lie in the arena at or after its end (a file read
  // straight into reserved room): move them down if they are not in place.
  if (n && p != at) std::memmove(at, p, n);
  top_ += n;
  return at;
}

RowText::Heap* RowText::NewHeap(size_t bytes) {
  void* p = std::malloc(bytes);
  if (!p) throw std::bad_alloc();
  const auto at = reinterpret_cast<uintptr_t>(p);
  // User-space addresses fit in 48 bits here; one beyond what 47 bits hold
  // after the shift cannot be kept, and is refused like memory that is not
  // there.
  if ((at >> (48 + kHeapShift)) != 0 || (at & ((uintptr_t(1) << kHeapShift) - 1)) != 0) {
    std::free(p);
    throw std::bad_alloc();
  }
  return static_cast<Heap*>(p);
}

void RowText::Borrow(uint8_t* p, uint32_t n) {
  // Below the range's base the offset wraps round to beyond its size.
  const uintptr_t offset =
      reinterpret_cast<uintptr_t>(p) - packBase_.load(std::memory_order_relaxed);
  if (n == 0 || (n <= kPackedMax && offset < packSize_.load(std::memory_order_relaxed))) {
    Release();
    Store(n == 0 ? 0 : (uint64_t(offset) << kOffsetShift) | (uint64_t(n) << kLenShift) | kTag);
    return;
  }
  if (!IsHeap()) {
    Heap* h = NewHeap(sizeof(Heap));
    h->cap = 0;
    SetHeap(h);  // the row was empty or packed: nothing to let go
  }
  heap()->p = p;
  heap()->len = n;
}

void RowText::SetLength(uint32_t n) {
  ++changes_;
  const uint64_t v = Load();
  if (v & kTag) {
    Store(n == 0 ? 0 : (v & ~(uint64_t(kPackedMax) << kLenShift)) | (uint64_t(n) << kLenShift));
  } else if (v) {
    heap(v)->len = n;
  }
}

void RowText::Reserve(uint32_t n) {
  if (owned() && heap()->cap >= n) return;
  const uint32_t want = n < 16 ? 16 : n + n / 2;
  // A fresh record, the bytes copied over (from the old record or the
  // arena), then the old record let go: the row is whole until the end.
  const uint32_t len = static_cast<uint32_t>(size());
  Heap* h = NewHeap(sizeof(Heap) + want);
  h->p = reinterpret_cast<uint8_t*>(h + 1);
  h->len = len;
  h->cap = want;
  if (len) std::memcpy(h->p, bytes(), len);
  Release();
  SetHeap(h);
}

void RowText::Append(const uint8_t* p, int n, RowArena* arena) {
  if (n <= 0) return;
  ++changes_;
  added_ += static_cast<uint64_t>(n);
  if (arena && !owned()) {
    const uint32_t len = static_cast<uint32_t>(size());
    if (len == 0) {
      Borrow(arena->Push(p, n), static_cast<uint32_t>(n));
      return;
    }
    uint8_t* at = bytes();
    if (arena->CanExtend(at + len, n)) {
      arena->Push(p, n);
      Borrow(at, len + static_cast<uint32_t>(n));
      return;
    }
  }
  CopyAppend(p, static_cast<uint32_t>(n));
}

void RowText::AppendInPlace(const uint8_t* p, int n, const RowArena& arena) {
  if (n <= 0) return;
  ++changes_;
  added_ += static_cast<uint64_t>(n);
  if (!owned()) {
    const uint32_t len = static_cast<uint32_t>(size());
    uint8_t* at = bytes();
    if (len == 0) {
      Borrow(const_cast<uint8_t*>(p), static_cast<uint32_t>(n));
      return;
    }
    if (at + len == p && arena.SameChunk(at, p + n - 1)) {
      Borrow(at, len + static_cast<uint32_t>(n));
      return;
    }
  }
  CopyAppend(p, static_cast<uint32_t>(n));
}

void RowText::CopyAppend(const uint8_t* p, uint32_t n) {
  const uint32_t len = static_cast<uint32_t>(size());
  Reserve(len + n);
  std::memcpy(heap()->p + len, p, n);
  heap()->len = len + n;
}

void RowText::Insert(int pos, const uint8_t* p, int n) {
  if (n <= 0) return;
  ++changes_;
  added_ += static_cast<uint64_t>(n);
  const uint32_t len = static_cast<uint32_t>(size());
  Reserve(len + static_cast<uint32_t>(n));
  uint8_t* b = heap()->p;
  std::memmove(b + pos + n, b + pos, len - pos);
  std::memcpy(b + pos, p, n);
  heap()->len = len + static_cast<uint32_t>(n);
}

void RowText::Erase(int pos, int n) {
  if (n <= 0) return;
  ++changes_;
  const int len = size();
  if (pos + n >= len) {
    SetLength(static_cast<uint32_t>(pos));
    return;
  }
  if (pos == 0 && !owned()) {  // a borrowed row can drop its head without copying
    Borrow(bytes() + n, static_cast<uint32_t>(len - n));
    return;
  }
  // Borrowed bytes are never written (a copy of the document may be reading
  // them on another thread): the row takes its own copy first.
  Reserve(static_cast<uint32_t>(len));
  uint8_t* b = heap()->p;
  std::memmove(b + pos, b + pos + n, len - pos - n);
  SetLength(static_cast<uint32_t>(len - n));
}

void RowText::Assign(std::string_view s) {
  SetLength(0);
  Append(s);
}

void RowText::MapThrough(const uint8_t* table) {
  uint8_t* b = bytes();
  const int len = size();
  for (int i = 0; i < len; ++i) b[i] = table[b[i]];
}

}  // namespace prambus
