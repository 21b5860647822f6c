#include "views/row_text.h"

#include <sys/mman.h>

#include <cstring>
#include <new>

#include "io/huge_pages.h"

namespace prambus {
namespace {
constexpr size_t kChunk = size_t(1) << 20;     // 1 MiB
constexpr size_t kBigChunk = size_t(4) << 20;  // once a document outgrows the first chunk

void* CheckedRealloc(void* p, size_t n) {
  void* q = std::realloc(p, n);
  if (!q) throw std::bad_alloc();
  return q;
}
}  // namespace

RowArena::~RowArena() {
  for (const Chunk& c : chunks_) ::munmap(c.base, c.size);
}

// A chunk is mapped with its pages populated in one call: much cheaper than
// one page fault per 4 KiB while a large document is filled in, and small
// enough that the fresh pages are still in the cache when they are written.
// The first chunk serves small documents; the later ones are larger and on
// huge pages where the system has them.
void RowArena::NewChunk(size_t n) {
  const size_t chunk = chunks_.empty() ? kChunk : kBigChunk;
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
  chunks_.push_back({base, size});
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
  // The bytes may already lie in the arena at or after its end (a file read
  // straight into reserved room): move them down if they are not in place.
  if (n && p != at) std::memmove(at, p, n);
  top_ += n;
  return at;
}

void RowText::Reserve(uint32_t n) {
  if (cap_ >= n) return;
  uint32_t want = n < 16 ? 16 : n + n / 2;
  if (cap_) {
    p_ = static_cast<uint8_t*>(CheckedRealloc(p_, want));
  } else {
    auto* q = static_cast<uint8_t*>(CheckedRealloc(nullptr, want));
    if (len_) std::memcpy(q, p_, len_);
    p_ = q;
  }
  cap_ = want;
}

void RowText::Append(const uint8_t* p, int n, RowArena* arena) {
  if (n <= 0) return;
  if (arena && cap_ == 0) {
    if (len_ == 0) {
      p_ = arena->Push(p, n);
      len_ = n;
      return;
    }
    if (arena->CanExtend(p_ + len_, n)) {
      arena->Push(p, n);
      len_ += n;
      return;
    }
  }
  Reserve(len_ + n);
  std::memcpy(p_ + len_, p, n);
  len_ += n;
}

void RowText::Insert(int pos, const uint8_t* p, int n) {
  if (n <= 0) return;
  Reserve(len_ + n);
  std::memmove(p_ + pos + n, p_ + pos, len_ - pos);
  std::memcpy(p_ + pos, p, n);
  len_ += n;
}

void RowText::Erase(int pos, int n) {
  if (n <= 0) return;
  if (pos + n >= int(len_)) {
    len_ = pos;
    return;
  }
  if (pos == 0 && cap_ == 0) {  // a borrowed row can drop its head without copying
    p_ += n;
    len_ -= n;
    return;
  }
  // A borrowed row owns its arena range exclusively, so it may shrink in place.
  std::memmove(p_ + pos, p_ + pos + n, len_ - pos - n);
  len_ -= n;
}

void RowText::Assign(std::string_view s) {
  len_ = 0;
  Append(s);
}

void RowText::MapThrough(const uint8_t* table) {
  for (uint32_t i = 0; i < len_; ++i) p_[i] = table[p_[i]];
}

}  // namespace prambus
