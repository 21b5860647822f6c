// The hex view's byte storage: edits anywhere keep the bytes in order, and
// every way of reading them (by index, as two runs, as a copy, as one view,
// by search) sees the same bytes wherever the gap is.
#include "views/gap_bytes.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

namespace prambus {
namespace {

std::string Runs(const GapBytes& b) {
  std::string out(b.Front().begin(), b.Front().end());
  out.append(b.Back().begin(), b.Back().end());
  return out;
}

// Every reading agrees with the reference string.
void ExpectSame(const GapBytes& b, const std::string& ref) {
  ASSERT_EQ(b.size(), ref.size());
  EXPECT_EQ(Runs(b), ref);
  EXPECT_EQ(b.ToString(), ref);
  for (size_t i = 0; i < ref.size(); ++i) ASSERT_EQ(b[i], static_cast<uint8_t>(ref[i])) << i;
  std::string scratch;
  for (size_t at = 0; at <= ref.size(); at += 3)
    EXPECT_EQ(b.View(at, 7, scratch), ref.substr(at, 7)) << at;
}

TEST(GapBytes, EditsAtTheEndsAndAnywhereKeepTheBytesInOrder) {
  GapBytes b;
  std::string ref;
  ExpectSame(b, ref);
  b.Insert(0, "world");
  ref.insert(0, "world");
  b.Insert(0, "hello ");
  ref.insert(0, "hello ");
  b.Append(reinterpret_cast<const uint8_t*>("!"), 1);
  ref += "!";
  ExpectSame(b, ref);
  b.Erase(0, 1);  // the first byte, the gap far from it
  ref.erase(0, 1);
  b.Erase(ref.size() - 1, 5);  // the last byte: a count past the end is cut
  ref.erase(ref.size() - 1);
  b.Erase(ref.size(), 3);  // nothing past the end
  ExpectSame(b, ref);
  // A pseudo-random walk of inserts, erases and overwrites, growing the
  // storage several times with bytes on both sides of the gap.
  unsigned seed = 1;
  auto next = [&](unsigned limit) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % limit;
  };
  for (int step = 0; step < 3000; ++step) {
    const size_t at = next(static_cast<unsigned>(ref.size()) + 1);
    const std::string piece(1 + next(40), static_cast<char>('a' + step % 26));
    switch (next(4)) {
      case 0:
      case 1:
        b.Insert(at, piece);
        ref.insert(at, piece);
        break;
      case 2: {
        const size_t count = next(50);
        b.Erase(at, count);
        ref.erase(at, count);
        break;
      }
      default:
        b.Overwrite(at, piece);
        ref.replace(at, std::min(piece.size(), ref.size() - at), piece);
        break;
    }
    if (step % 100 == 0) ExpectSame(b, ref);
  }
  ExpectSame(b, ref);
  b.Overwrite(b.size(), "tail");  // at the end it lengthens the array
  ref += "tail";
  ExpectSame(b, ref);
}

// Small arrays come from malloc, large ones are mappings grown by remapping:
// growing across that line and on past it keeps the bytes on both sides.
TEST(GapBytes, GrowingIntoALargeMappingKeepsTheBytes) {
  GapBytes b;
  std::string ref;
  for (int i = 0; i < 6; ++i) {
    const std::string piece(300000 + i, static_cast<char>('a' + i));
    const size_t at = ref.size() / 3;
    b.Insert(at, piece);
    ref.insert(at, piece);
    b.Insert(ref.size() / 2, "|");  // the gap in the middle when the next growth comes
    ref.insert(ref.size() / 2, "|");
    ASSERT_EQ(b.ToString(), ref) << i;
  }
  b.Reserve(b.capacity() + (size_t(3) << 20));
  EXPECT_EQ(b.ToString(), ref);
  b.Release();
  EXPECT_TRUE(b.empty());
  b.Assign("small again");
  EXPECT_EQ(b.ToString(), "small again");
}

// A large storage read in whole (no gap left) grows on the next insertion,
// also after huge pages were asked for it, and also when its mapping was
// split in parts (any advice given to a part of it splits it), which cannot
// be grown in place.
TEST(GapBytes, AFullLargeStorageGrowsWhateverWasAdvisedOnIt) {
  for (const bool split : {false, true}) {
    GapBytes b;
    const size_t n = size_t(5) << 20;
    b.Reserve(n);
    b.AdviseHugePages();
    uint8_t* room = b.AppendRoom(n);
    std::string ref(n, '\0');
    for (size_t i = 0; i < n; ++i)
      ref[i] = static_cast<char>(room[i] = static_cast<uint8_t>(i * 7));
    b.CommitAppend(n);
    if (split) {
      const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
      auto* inner = const_cast<uint8_t*>(b.Front().data()) + 16 * page;
      ASSERT_EQ(::madvise(inner, 16 * page, MADV_DONTFORK), 0);
    }
    b.Insert(n / 2, "typed");
    ref.insert(n / 2, "typed");
    EXPECT_TRUE(b.ToString() == ref) << "split " << split;
    b.Insert(0, std::string(n, 'x'));  // again, by more than a tenth
    ref.insert(0, std::string(n, 'x'));
    EXPECT_TRUE(b.ToString() == ref) << "split " << split;
  }
}

TEST(GapBytes, ReadsAcrossTheGap) {
  GapBytes b;
  b.Assign("0123456789");
  b.Insert(4, "ab");  // the gap is now after "0123ab"
  b.Erase(5, 1);      // and now after "0123a"
  const std::string ref = "0123a456789";
  ExpectSame(b, ref);
  EXPECT_EQ(std::string(b.Front().begin(), b.Front().end()) + "|" +
                std::string(b.Back().begin(), b.Back().end()),
            "0123a|456789");
  EXPECT_EQ(b.Slice(3, 4), "3a45");
  EXPECT_EQ(b.Slice(9, 100), "89");
  EXPECT_EQ(b.Slice(11, 1), "");
  // The copy of a piece across the gap reuses reserved scratch storage, so a
  // second view of the same piece leaves the first one valid.
  std::string scratch;
  scratch.reserve(64);
  const std::string_view first = b.View(2, 6, scratch);
  const std::string_view again = b.View(2, 6, scratch);
  EXPECT_EQ(first.data(), again.data());
  EXPECT_EQ(first, "23a456");
  // A read into the gap's room at the end takes only what was committed.
  uint8_t* room = b.AppendRoom(8);
  room[0] = 'x', room[1] = 'y';
  b.CommitAppend(2);
  ExpectSame(b, ref + "xy");
  // Moved whole storage goes with the array; the source is left empty.
  GapBytes moved = std::move(b);
  ExpectSame(moved, ref + "xy");
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(moved.Contiguous().size(), ref.size() + 2);
  EXPECT_EQ(std::string(moved.Front().begin(), moved.Front().end()), ref + "xy");
}

TEST(GapBytes, SearchFindsMatchesAcrossTheGapAndOnlyInsideTheRange) {
  const std::string text = "..needle....needle..";
  auto find = [](std::string_view pattern) {
    return [pattern](std::string_view hay) { return hay.find(pattern); };
  };
  // The gap at every place, the first "needle" cut at each of its bytes.
  for (size_t gap = 0; gap <= text.size(); ++gap) {
    GapBytes b;
    b.Assign(text);
    b.Insert(gap, "#");
    b.Erase(gap, 1);
    SCOPED_TRACE(gap);
    EXPECT_EQ(b.FindFirst(0, 100, 6, find("needle")), 2u);
    EXPECT_EQ(b.FindFirst(3, 100, 6, find("needle")), 12u);
    EXPECT_EQ(b.FindFirst(3, 15, 6, find("needle")), 12u);
    EXPECT_EQ(b.FindFirst(3, 14, 6, find("needle")), std::string_view::npos);  // runs past
    EXPECT_EQ(b.FindFirst(0, 100, 3, find("e..")), 7u);
    EXPECT_EQ(b.FindFirst(0, 100, 2, find("..")), 0u);
    EXPECT_EQ(b.FindFirst(0, 100, 6, find("needlE")), std::string_view::npos);
    EXPECT_EQ(b.FindFirst(text.size(), 100, 1, find(".")), std::string_view::npos);
  }
}

}  // namespace
}  // namespace prambus
