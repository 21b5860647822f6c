// Large buffers backed by huge pages where the system offers them. Filling
// fresh memory costs one page fault per page; with 4 KiB pages a 100 MB
// document pays about 25,000 of them, which on a virtual machine is a few
// hundred milliseconds, while 2 MiB pages make it about fifty.
//
// Huge pages are not always the cheaper: a virtual machine that hands the
// guest's free memory back to its host (free page reporting) has to fetch
// every huge page anew, and past the first hundred megabytes that made them
// ten times as dear as small pages populated in one call (11 ns a byte
// against 1). So what populating them costs is watched, and once they turn
// out slow the process asks for small pages instead.
#pragma once

#include <atomic>
#include <cstddef>

namespace prambus {

// Below this size a buffer keeps ordinary pages: a small document should
// not occupy a whole huge page.
constexpr size_t kHugePageWorthy = size_t(4) << 20;

// Asks for huge pages for the whole 2 MiB blocks inside [p, p + n), when n
// is at least kHugePageWorthy and huge pages have not turned out slow. Only
// a hint: the contents stay as they are, and nothing changes where the
// system has no huge pages.
void AdviseHugePages(void* p, size_t n);

// Maps n bytes (rounded up to whole pages) of zeroed memory aligned to
// 2 MiB, advised for huge pages (while they pay) and populated, for a buffer
// that will be filled at once; release it with munmap(p, n). Null when the
// mapping fails.
void* MapFilledSoon(size_t n);
// The same for memory the caller has mapped already (readable, writable,
// private and anonymous, [p, p + n) aligned to 2 MiB): advised for huge
// pages while they pay, and populated.
void PrepareFilledSoon(void* p, size_t n);

// Judges from the processor time that populating huge pages took whether
// they are still worth asking for. Time a thread spends waiting for the
// processor is not counted, so a busy machine does not count as slow
// memory; two slow populations in a row are needed, one may be bad luck.
class HugePageCost {
 public:
  // A population of `bytes` in huge pages took `cpuSeconds`.
  void Note(size_t bytes, double cpuSeconds);
  bool Worthwhile() const { return !givenUp_.load(std::memory_order_relaxed); }

  // Small pages populated in one call cost about a nanosecond a byte; huge
  // pages dearer than twice that are not worth it.
  static constexpr double kSlowSecondsPerByte = 2e-9;

 private:
  std::atomic<int> slowInARow_{0};
  std::atomic<bool> givenUp_{false};
};

// The process's judgement, which AdviseHugePages and MapFilledSoon follow.
HugePageCost& ProcessHugePageCost();

}  // namespace prambus
