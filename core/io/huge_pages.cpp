#include "io/huge_pages.h"

#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>

namespace prambus {
namespace {
constexpr uintptr_t kHuge = uintptr_t(2) << 20;

double ThreadCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
}  // namespace

void HugePageCost::Note(size_t bytes, double cpuSeconds) {
  if (bytes < kHugePageWorthy) return;  // too short to tell
  if (cpuSeconds <= kSlowSecondsPerByte * static_cast<double>(bytes)) {
    slowInARow_.store(0, std::memory_order_relaxed);
    return;
  }
  if (slowInARow_.fetch_add(1, std::memory_order_relaxed) + 1 >= 2)
    givenUp_.store(true, std::memory_order_relaxed);
}

HugePageCost& ProcessHugePageCost() {
  static HugePageCost cost;
  return cost;
}

void AdviseHugePages(void* p, size_t n) {
#ifdef MADV_HUGEPAGE
  if (n < kHugePageWorthy || !ProcessHugePageCost().Worthwhile()) return;
  const auto begin = reinterpret_cast<uintptr_t>(p);
  const uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t last = (begin + n) & ~(kHuge - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)p;
  (void)n;
#endif
}

void* MapFilledSoon(size_t n) {
  // Whole pages, or the tail below could not be given back (munmap takes
  // page-aligned addresses only) and would stay mapped.
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  n = (n + page - 1) / page * page;
  // Map a little more, then give back the head and the tail that keep the
  // buffer off a 2 MiB boundary.
  const size_t span = n + kHuge;
  void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto begin = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (begin + kHuge - 1) & ~(kHuge - 1);
  if (aligned > begin) ::munmap(raw, aligned - begin);
  const uintptr_t end = aligned + n;
  if (begin + span > end) ::munmap(reinterpret_cast<void*>(end), begin + span - end);
  void* p = reinterpret_cast<void*>(aligned);
  PrepareFilledSoon(p, n);
  return p;
}

void PrepareFilledSoon(void* p, size_t n) {
  HugePageCost& cost = ProcessHugePageCost();
  bool huge = false;
#ifdef MADV_HUGEPAGE
  huge = cost.Worthwhile() && ::madvise(p, n, MADV_HUGEPAGE) == 0;
#endif
#ifdef MADV_POPULATE_WRITE
  // Fault the whole buffer in one call (older kernels refuse the advice and
  // the pages come on first touch instead).
  const double before = huge ? ThreadCpuSeconds() : 0;
  if (::madvise(p, n, MADV_POPULATE_WRITE) == 0 && huge) cost.Note(n, ThreadCpuSeconds() - before);
#endif
  (void)huge;
}

}  // namespace prambus
