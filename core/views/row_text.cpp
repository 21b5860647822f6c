#include "views/row_text.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "io/huge_pages.h"

namespace prambus {
namespace {
constexpr size_t kChunk = size_t(1) << 20;     // 1 MiB
constexpr size_t kBigChunk = size_t(4) << 20;  // once a document outgrows the first chunk
constexpr size_t kExpectSlack = size_t(64) << 10;

void* CheckedRealloc(void* p, size_t n) {
  void* q = std::realloc(p, n);
  if (!q) throw std::bad_alloc();
  return q;
}
}  // namespace

RowArena::~RowArena() = default;

RowArena::Mapping::~Mapping() {
  ::munmap(base, size.load(std::memory_order_relaxed));
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
  void* raw = nullptr;
  if (size >= kHugePageWorthy) {
    raw = MapFilledSoon(size);
    if (!raw) throw std::bad_alloc();
  } else {
    raw = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE,
                 -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
  }
  auto* base = static_cast<uint8_t*>(raw);
  std::shared_ptr<Mapping> mapping;
  try {
    mapping = std::make_shared<Mapping>(base, size);
  } catch (const std::bad_alloc&) {
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

void RowText::Borrow(uint8_t* p, uint32_t n) {
  const bool packable =
      n >= 1 && n <= kPackedMax && (reinterpret_cast<uintptr_t>(p) & ~uintptr_t(kPointerMask)) == 0;
  if (packable || n == 0) {
    Release();
    v_ = n == 0 ? 0 : (uint64_t(n) << kLenShift) | reinterpret_cast<uintptr_t>(p);
    return;
  }
  if (!IsHeap()) {
    auto* h = static_cast<Heap*>(CheckedRealloc(nullptr, sizeof(Heap)));
    h->cap = 0;
    v_ = reinterpret_cast<uintptr_t>(h);
  }
  heap()->p = p;
  heap()->len = n;
}

void RowText::SetLength(uint32_t n) {
  ++changes_;
  if (IsHeap()) {
    heap()->len = n;
  } else if (IsPacked()) {
    v_ = n == 0 ? 0 : (v_ & kPointerMask) | (uint64_t(n) << kLenShift);
  }
}

void RowText::Reserve(uint32_t n) {
  const bool own = owned();
  if (own && heap()->cap >= n) return;
  const uint32_t want = n < 16 ? 16 : n + n / 2;
  if (own) {
    auto* h = static_cast<Heap*>(CheckedRealloc(heap(), sizeof(Heap) + want));
    h->p = reinterpret_cast<uint8_t*>(h + 1);
    h->cap = want;
    v_ = reinterpret_cast<uintptr_t>(h);
    return;
  }
  const uint32_t len = static_cast<uint32_t>(size());
  auto* h = static_cast<Heap*>(CheckedRealloc(nullptr, sizeof(Heap) + want));
  h->p = reinterpret_cast<uint8_t*>(h + 1);
  h->len = len;
  h->cap = want;
  if (len) std::memcpy(h->p, bytes(), len);
  Release();
  v_ = reinterpret_cast<uintptr_t>(h);
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
