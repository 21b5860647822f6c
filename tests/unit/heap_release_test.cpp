// Freed heap memory goes back to the system when asked: the pages of blocks
// freed in the middle of the heap stop counting as the process's own.
#include "io/heap_release.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "support/sanitizers.h"

namespace prambus {
namespace {

long ResidentAnonymousKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    long kb = 0;
    if (key == "RssAnon:" && status >> kb) return kb;
    std::getline(status, key);
  }
  return -1;
}

TEST(HeapRelease, FreedBlocksInsideTheHeapAreGivenBack) {
#if !defined(__GLIBC__)
  GTEST_SKIP() << "only the GNU C library is asked";
#endif
  if (kUnderAddressSanitizer) GTEST_SKIP() << "the sanitizer's allocator keeps its own pages";
  // Small blocks come from the heap, not from mappings of their own; the
  // last one stays, so the freed ones are not simply at the heap's top.
  constexpr size_t kBlock = 1024, kCount = 16 * 1024;  // 16 MiB in all
  std::vector<char*> blocks;
  for (size_t i = 0; i < kCount; ++i) {
    blocks.push_back(static_cast<char*>(std::malloc(kBlock)));
    ASSERT_NE(blocks.back(), nullptr);
    std::memset(blocks.back(), 1, kBlock);
  }
  for (size_t i = 0; i + 1 < kCount; ++i) std::free(blocks[i]);
  const long before = ResidentAnonymousKb();
  ASSERT_GT(before, 0);
  ReleaseFreeHeap();
  const long after = ResidentAnonymousKb();
  std::free(blocks.back());
  EXPECT_LT(after, before - 8 * 1024) << before << " KB before, " << after << " KB after";
}

}  // namespace
}  // namespace prambus
