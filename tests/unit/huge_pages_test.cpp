// Huge pages are asked for while they pay: two populations in a row that cost
// more than small pages would end them, one slow population does not.
#include "io/huge_pages.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace prambus {
namespace {

constexpr size_t kBytes = size_t(4) << 20;
constexpr double kFast = 0.4e-9 * kBytes, kSlow = 11e-9 * kBytes;

TEST(HugePageCostTest, TwoSlowPopulationsInARowEndHugePages) {
  HugePageCost cost;
  EXPECT_TRUE(cost.Worthwhile());
  // Slow ones apart (a busy moment) keep them.
  for (int i = 0; i < 5; ++i) {
    cost.Note(kBytes, kSlow);
    cost.Note(kBytes, kFast);
  }
  EXPECT_TRUE(cost.Worthwhile());
  // Buffers too short to tell are not judged.
  cost.Note(kBytes, kSlow);
  cost.Note(kHugePageWorthy / 2, 1.0);
  EXPECT_TRUE(cost.Worthwhile());
  cost.Note(kBytes, kSlow);
  EXPECT_FALSE(cost.Worthwhile());
  // For the rest of the process: fast ones later do not bring them back.
  cost.Note(kBytes, kFast);
  EXPECT_FALSE(cost.Worthwhile());
}

TEST(HugePageCostTest, BuffersAreZeroedAndAlignedWithOrWithoutHugePages) {
  for (int round = 0; round < 2; ++round) {
    void* p = MapFilledSoon(kBytes);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % (uintptr_t(2) << 20), 0u);
    const auto* bytes = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < kBytes; i += 4093) ASSERT_EQ(bytes[i], 0) << i;
    static_cast<uint8_t*>(p)[kBytes - 1] = 1;
    ::munmap(p, kBytes);
    // The same once the process has given huge pages up.
    ProcessHugePageCost().Note(kBytes, kSlow);
    ProcessHugePageCost().Note(kBytes, kSlow);
  }
  EXPECT_FALSE(ProcessHugePageCost().Worthwhile());
}

// A size that is not whole pages is mapped in whole pages, and the room
// mapped beyond them to reach the alignment is all given back.
TEST(HugePageCostTest, NothingStaysMappedPastABuffersLastPage) {
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  const size_t n = kBytes + 100, whole = (n + page - 1) / page * page;
  auto* p = static_cast<uint8_t*>(MapFilledSoon(n));
  ASSERT_NE(p, nullptr);
  p[whole - 1] = 1;  // the last page is the buffer's
  errno = 0;
  EXPECT_NE(::msync(p + whole, page, MS_ASYNC), 0);
  EXPECT_EQ(errno, ENOMEM);
  ::munmap(p, n);
}

}  // namespace
}  // namespace prambus
