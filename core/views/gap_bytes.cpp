#include "views/gap_bytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "io/huge_pages.h"

namespace prambus {

namespace {
// From this size on the storage is a mapping of its own, which grows by
// remapping its pages instead of copying them.
constexpr size_t kMappedAtLeast = size_t(1) << 20;

size_t WholePages(size_t n) {
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return (n + page - 1) / page * page;
}
}  // namespace

GapBytes::~GapBytes() {
  Release();
}

void GapBytes::Release() {
  if (mapped_)
    ::munmap(data_, capacity_);
  else
    std::free(data_);
  data_ = nullptr;
  mapped_ = false;
  capacity_ = gapStart_ = gapEnd_ = 0;
}

void GapBytes::Swap(GapBytes& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(capacity_, other.capacity_);
  std::swap(gapStart_, other.gapStart_);
  std::swap(gapEnd_, other.gapEnd_);
  std::swap(mapped_, other.mapped_);
}

// The bytes between the old and the new place of the gap cross it.
void GapBytes::MoveGap(size_t at) {
  if (at < gapStart_) {
    const size_t n = gapStart_ - at;
    std::memmove(data_ + gapEnd_ - n, data_ + at, n);
    gapStart_ -= n;
    gapEnd_ -= n;
  } else if (at > gapStart_) {
    const size_t n = at - gapStart_;
    std::memmove(data_ + gapStart_, data_ + gapEnd_, n);
    gapStart_ += n;
    gapEnd_ += n;
  }
}

// Fresh storage costs nothing until its pages are written, so room for a
// whole file can be taken before it is read. A large array is a mapping that
// grows in place or by moving its pages (a 100 MB document grows without
// being copied); a small one comes from malloc. The bytes after the gap go
// to the new end; the gap takes the room gained.
void GapBytes::Grow(size_t extra) {
  const size_t tail = capacity_ - gapEnd_;
  size_t capacity = capacity_ + extra;
  uint8_t* p = nullptr;
  if (capacity >= kMappedAtLeast) {
    capacity = WholePages(capacity);
    // mremap moves one mapping whole; it refuses (EFAULT) when the range
    // has been split, as advice given to a part of it does. Then the bytes
    // are copied to a fresh mapping instead.
    void* m = mapped_ ? ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE) : MAP_FAILED;
    if (m == MAP_FAILED) {
      m = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (m == MAP_FAILED) throw std::bad_alloc();
      if (capacity_) std::memcpy(m, data_, capacity_);
      if (mapped_)
        ::munmap(data_, capacity_);
      else
        std::free(data_);
      mapped_ = true;
    }
    p = static_cast<uint8_t*>(m);
  } else {
    p = static_cast<uint8_t*>(std::realloc(data_, capacity));
    if (!p) throw std::bad_alloc();
  }
  data_ = p;
  std::memmove(data_ + capacity - tail, data_ + gapEnd_, tail);
  gapEnd_ = capacity - tail;
  capacity_ = capacity;
}

void GapBytes::Reserve(size_t n) {
  if (n > capacity_) Grow(n - capacity_);
}

void GapBytes::AdviseHugePages() {
#ifdef MADV_HUGEPAGE
  // The whole mapping at once: advice on a part would split it, and a split
  // mapping cannot grow in place.
  if (mapped_ && capacity_ >= kHugePageWorthy && ProcessHugePageCost().Worthwhile())
    ::madvise(data_, capacity_, MADV_HUGEPAGE);
#endif
}

void GapBytes::Insert(size_t at, const uint8_t* bytes, size_t count) {
  if (count == 0) return;
  at = std::min(at, size());
  if (GapLength() < count)  // grow by a tenth, not by doubling: the file may be huge
    Grow(count - GapLength() + size() / 10 + 4096);
  MoveGap(at);
  std::memcpy(data_ + gapStart_, bytes, count);
  gapStart_ += count;
}

void GapBytes::Erase(size_t at, size_t count) {
  if (at >= size()) return;
  count = std::min(count, size() - at);
  if (count == 0) return;
  // The gap goes to whichever end of the erased bytes is nearer to it (a
  // backspace finds it at its end, a delete at its start).
  auto distance = [this](size_t p) { return p > gapStart_ ? p - gapStart_ : gapStart_ - p; };
  if (distance(at + count) < distance(at)) {
    MoveGap(at + count);
    gapStart_ -= count;
  } else {
    MoveGap(at);
    gapEnd_ += count;
  }
}

void GapBytes::Overwrite(size_t at, std::string_view bytes) {
  at = std::min(at, size());
  const size_t inside = std::min(bytes.size(), size() - at);
  for (size_t i = 0; i < inside; ++i) (*this)[at + i] = static_cast<uint8_t>(bytes[i]);
  Insert(size(), bytes.substr(inside));
}

void GapBytes::Assign(std::string_view bytes) {
  Clear();
  Insert(0, bytes);
}

uint8_t* GapBytes::AppendRoom(size_t count) {
  MoveGap(size());
  if (GapLength() < count) Grow(count - GapLength());
  return data_ + gapStart_;
}

size_t GapBytes::CopyOut(size_t at, size_t count, uint8_t* out) const {
  if (at >= size()) return 0;
  count = std::min(count, size() - at);
  const size_t front = at < gapStart_ ? std::min(count, gapStart_ - at) : 0;
  if (front) std::memcpy(out, data_ + at, front);
  if (count > front) std::memcpy(out + front, data_ + at + front + GapLength(), count - front);
  return count;
}

std::string GapBytes::Slice(size_t at, size_t count) const {
  std::string out(at < size() ? std::min(count, size() - at) : 0, '\0');
  CopyOut(at, out.size(), reinterpret_cast<uint8_t*>(out.data()));
  return out;
}

std::string_view GapBytes::View(size_t at, size_t count, std::string& scratch) const {
  if (at >= size()) return {};
  count = std::min(count, size() - at);
  const char* base = reinterpret_cast<const char*>(data_);
  if (at + count <= gapStart_) return {base + at, count};
  if (at >= gapStart_) return {base + at + GapLength(), count};
  scratch.resize(count);
  CopyOut(at, count, reinterpret_cast<uint8_t*>(scratch.data()));
  return scratch;
}

}  // namespace prambus
