#include "io/memory_room.h"

#include <sys/mman.h>

#include <atomic>

namespace prambus {

namespace {
std::atomic<bool (*)(size_t)> roomProbe{nullptr};
}  // namespace

bool MemoryRoomFor(size_t bytes) {
  if (bool (*probe)(size_t) = roomProbe.load(std::memory_order_relaxed)) return probe(bytes);
  if (bytes == 0) return true;
  // A private writable mapping is charged against the system's commit at
  // once, as the allocations of the edit will be.
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return false;
  ::munmap(p, bytes);
  return true;
}

void SetMemoryRoomProbe(bool (*probe)(size_t bytes)) {
  roomProbe.store(probe, std::memory_order_relaxed);
}

}  // namespace prambus
