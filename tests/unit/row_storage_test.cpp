#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "views/row_text.h"
#include "views/row_widths.h"

namespace prambus {
namespace {

std::string Bytes(size_t n, char first) {
  std::string s(n, ' ');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(first + i % 23);
  return s;
}

const uint8_t* U(const std::string& s) {
  return reinterpret_cast<const uint8_t*>(s.data());
}

// Compares without printing rows tens of kilobytes long.
::testing::AssertionResult Holds(const RowText& row, const std::string& expected) {
  if (row.view() == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "row of " << row.size() << " bytes differs from the " << expected.size() << " expected";
}

TEST(RowTextTest, ArenaRowsStayBorrowedUntilEdited) {
  RowArena arena;
  RowText a, b;
  a.Append(U("abc"), 3, &arena);
  a.Append(U("de"), 2, &arena);  // still at the arena's top: extended in place
  EXPECT_FALSE(a.owned());
  b.Append(U("xyz"), 3, &arena);
  a.Append(U("f"), 1, &arena);  // no longer at the top: copied into its own bytes
  EXPECT_TRUE(a.owned());
  EXPECT_EQ(a.view(), "abcdef");
  EXPECT_EQ(b.view(), "xyz");

  b.Erase(0, 1);  // dropping the head keeps borrowing
  EXPECT_FALSE(b.owned());
  EXPECT_EQ(b.view(), "yz");
  b.Insert(1, "--");
  EXPECT_TRUE(b.owned());
  EXPECT_EQ(b.view(), "y--z");

  RowText c;
  c.Append(U("hello"), 5, &arena);
  c.Truncate(0);
  EXPECT_TRUE(c.empty());
  EXPECT_EQ(c.data(), nullptr);
  c.Append(U("again"), 5, &arena);
  EXPECT_FALSE(c.owned());
  EXPECT_EQ(c.view(), "again");
}

// A reflow that joins rows extends a borrowed row by the bytes right after
// it: within the row's own arena chunk it keeps borrowing (no copy), and
// bytes from anywhere else are copied.
TEST(RowTextTest, ARowExtendedByTheNextArenaBytesKeepsBorrowing) {
  RowArena arena;
  RowText a, b;
  a.Append(U("abc"), 3, &arena);
  b.Append(U("def"), 3, &arena);
  a.AppendInPlace(b.data(), 3, arena);
  EXPECT_FALSE(a.owned());
  EXPECT_EQ(a.view(), "abcdef");
  const std::string outside = "ghi";
  a.AppendInPlace(U(outside), 3, arena);
  EXPECT_TRUE(a.owned());
  EXPECT_EQ(a.view(), "abcdefghi");
}

// A borrowed run longer than the packed length keeps borrowing through its
// heap record, and packs again once it is short enough.
TEST(RowTextTest, LongBorrowedRunsCrossThePackedLimit) {
  RowArena arena;
  const std::string first = Bytes(65535, 'a'), more = Bytes(4465, 'A');
  RowText row;
  row.Append(U(first), int(first.size()), &arena);
  EXPECT_EQ(row.size(), 65535);
  row.Append(U(more), int(more.size()), &arena);
  EXPECT_FALSE(row.owned());
  EXPECT_EQ(row.size(), 70000);
  EXPECT_TRUE(Holds(row, first + more));

  row.Erase(0, 4464);  // 65536 left: still too long to pack
  EXPECT_TRUE(Holds(row, (first + more).substr(4464)));
  row.Erase(0, 1);  // 65535: packs again
  EXPECT_FALSE(row.owned());
  EXPECT_TRUE(Holds(row, (first + more).substr(4465)));

  uint8_t upper[256];
  for (int i = 0; i < 256; ++i) upper[i] = static_cast<uint8_t>(i >= 'a' && i <= 'z' ? i - 32 : i);
  RowText big;
  big.Append(U(first + more), 70000, &arena);
  big.MapThrough(upper);
  std::string expected = first + more;
  for (char& ch : expected) ch = static_cast<char>(upper[static_cast<uint8_t>(ch)]);
  EXPECT_TRUE(Holds(big, expected));
  big.Insert(70000, "!");
  EXPECT_TRUE(big.owned());
  EXPECT_TRUE(Holds(big, expected + "!"));
}

// Runs around the longest packed length: borrowed either way, grown over
// the limit and cut back under it from either end.
TEST(RowTextTest, RunsAroundTheLongestPackedLength) {
  RowArena arena;
  const std::string text = Bytes(4200, 'a');
  for (int n : {2046, 2047, 2048, 2049, 4095}) {
    RowText row;
    row.Append(U(text), n, &arena);
    EXPECT_FALSE(row.owned());
    EXPECT_TRUE(Holds(row, text.substr(0, size_t(n)))) << n;
  }
  RowText row;
  row.Append(U(text), 2000, &arena);
  row.Append(U(text) + 2000, 47, &arena);  // 2047
  row.Append(U(text) + 2047, 1, &arena);   // 2048
  EXPECT_FALSE(row.owned());
  EXPECT_TRUE(Holds(row, text.substr(0, 2048)));
  row.Erase(0, 1);  // 2047 again, from the second byte
  EXPECT_TRUE(Holds(row, text.substr(1, 2047)));
  row.Truncate(1500);
  EXPECT_TRUE(Holds(row, text.substr(1, 1500)));
  row.Erase(1400, 200);  // past the end: a cut
  EXPECT_FALSE(row.owned());
  EXPECT_TRUE(Holds(row, text.substr(1, 1400)));
  RowText moved = std::move(row);
  EXPECT_TRUE(row.empty());
  EXPECT_TRUE(Holds(moved, text.substr(1, 1400)));
  moved.Insert(0, "<");
  EXPECT_TRUE(moved.owned());
  EXPECT_TRUE(Holds(moved, "<" + text.substr(1, 1400)));
}

// Random edits on rows that share one arena, against plain strings, with
// runs long enough to cross the packed limit either way.
TEST(RowTextTest, RandomEditsMatchPlainStrings) {
  std::mt19937 rng(15);
  RowArena arena;
  RowText rows[3];
  std::string ref[3];
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int step = 0; step < 4000; ++step) {
    const int k = pick(3);
    RowText& row = rows[k];
    std::string& s = ref[k];
    const int len = pick(5) == 0 ? 20000 + pick(30000) : pick(40);
    const std::string text = Bytes(static_cast<size_t>(len), static_cast<char>('a' + pick(20)));
    switch (pick(8)) {
      case 0:
      case 1:
        row.Append(U(text), len, &arena);
        s += text;
        break;
      case 2:
        row.Append(text);
        s += text;
        break;
      case 3: {
        const int pos = pick(int(s.size()) + 1);
        row.Insert(pos, text);
        s.insert(size_t(pos), text);
        break;
      }
      case 4:
      case 5: {
        const int pos = pick(int(s.size()) + 1);
        const int n = pick(int(s.size()) - pos + 1);
        row.Erase(pos, n);
        s.erase(size_t(pos), size_t(n));
        break;
      }
      case 6: {
        const int n = pick(int(s.size()) + 1);
        row.Truncate(n);
        s.resize(size_t(n));
        break;
      }
      default:
        if (pick(4) == 0) {
          row.Assign(text.substr(0, 10));
          s = text.substr(0, 10);
        } else {
          RowText moved = std::move(row);
          row = std::move(moved);
        }
    }
    ASSERT_TRUE(Holds(row, s)) << "step " << step;
    ASSERT_EQ(row.empty(), s.empty());
    if (!s.empty()) {
      ASSERT_EQ(row.back(), static_cast<uint8_t>(s.back()));
    }
    if (s.size() > 200000) {
      row.Clear();
      s.clear();
    }
  }
}

TEST(RowArenaTest, ChunksAreFoundAndGivenBackOneByOne) {
  RowArena arena;
  // Larger than the rest of any chunk once one row is in it: a chunk each.
  const std::string big = Bytes(3u << 20, 'a');
  RowText rows[3];
  for (RowText& row : rows) row.Append(U(big), int(big.size()), &arena);
  ASSERT_EQ(arena.ChunkCount(), 3u);
  for (int i : {2, 0, 1}) EXPECT_EQ(arena.ChunkOf(rows[i].data() + 5), i);
  arena.ReleaseChunk(1);
  EXPECT_EQ(arena.ChunkOf(rows[1].data()), -1);
  EXPECT_EQ(arena.ChunkOf(rows[2].data()), 2);
  EXPECT_EQ(arena.ChunkOf(U(big)), -1);
  arena.ReleaseChunk(2);  // the one being filled: the next row starts a fresh chunk
  rows[1].Clear();
  rows[2].Clear();
  RowText next;
  next.Append(U("tail"), 4, &arena);
  EXPECT_EQ(next.view(), "tail");
  EXPECT_EQ(arena.ChunkOf(next.data()), 3);
  EXPECT_EQ(arena.ChunkOf(U(big)), -1);  // a full list of chunks: none past its end is read
}

// The unused pages after the last bytes are given back; the rows keep their
// bytes, and the row at the top can still grow into the page it ends in and
// beyond it.
TEST(RowArenaTest, TheUnusedTailIsGivenBackAndTheArenaStillGrows) {
  RowArena arena;
  const std::string first = Bytes(3u << 20, 'a');
  const std::string second = Bytes(5000, 'b');
  RowText a, b;
  a.Append(U(first), int(first.size()), &arena);
  b.Append(U(second), int(second.size()), &arena);
  const size_t before = arena.BytesReserved();
  arena.ReleaseUnusedTail();
  EXPECT_LT(arena.BytesReserved(), before);
  EXPECT_EQ(arena.BytesReserved() % 4096, 0u);
  EXPECT_TRUE(Holds(a, first));
  EXPECT_TRUE(Holds(b, second));
  const std::string more = Bytes(10000, 'c');
  b.Append(U(more), int(more.size()), &arena);
  EXPECT_TRUE(Holds(b, second + more));
  RowText c;
  c.Append(U(more), int(more.size()), &arena);
  EXPECT_TRUE(Holds(c, more));
  EXPECT_TRUE(Holds(a, first));
  arena.ReleaseUnusedTail();  // twice, and on an arena whose top chunk is full
  arena.ReleaseUnusedTail();
  EXPECT_TRUE(Holds(c, more));
  RowArena empty;
  empty.ReleaseUnusedTail();
  EXPECT_EQ(empty.BytesReserved(), 0u);
}

// Rows in chunks at the very start and the very end of the process's
// address range keep their bytes, and once the range is full chunks are
// mapped elsewhere.
TEST(RowArenaTest, RowsAtTheEdgesOfTheProcessRange) {
  AddressRange& range = AddressRange::Process();
  if (!range.base()) GTEST_SKIP() << "no address range could be reserved";
  constexpr size_t kMiB = size_t(1) << 20;
  // Everything free is taken, then a mebibyte at either end is given back.
  std::vector<std::pair<uint8_t*, size_t>> taken;
  for (size_t n = range.size(); n >= 4096; n = n / 2 / 4096 * 4096)
    while (uint8_t* p = range.Take(n, 4096)) taken.push_back({p, n});
  ASSERT_EQ(range.FreeBytes(), 0u);
  uint8_t* const end = range.base() + range.size();
  bool atStart = false, atEnd = false;
  for (auto& [p, n] : taken) {
    if (p == range.base() && n >= 2 * kMiB) {
      range.Give(p, kMiB);
      p += kMiB;
      n -= kMiB;
      atStart = true;
    }
    if (p + n == end && n >= 2 * kMiB) {
      range.Give(end - kMiB, kMiB);
      n -= kMiB;
      atEnd = true;
    }
  }
  ASSERT_TRUE(atStart && atEnd) << "another arena is using the range";

  // A first chunk is a mebibyte: rows of the longest packed length fill it
  // up to its last byte.
  auto fill = [](RowArena& arena, std::vector<RowText>& rows, std::vector<std::string>& texts) {
    size_t left = kMiB;
    for (int k = 0; left > 0; ++k) {
      const size_t n = std::min<size_t>(left, 2047 - k % 2);
      texts.push_back(Bytes(n, static_cast<char>('a' + k % 20)));
      rows.emplace_back();
      rows.back().Append(U(texts.back()), int(n), &arena);
      left -= n;
    }
  };
  RowArena first, last;
  std::vector<RowText> firstRows, lastRows;
  std::vector<std::string> firstTexts, lastTexts;
  fill(first, firstRows, firstTexts);
  fill(last, lastRows, lastTexts);
  EXPECT_EQ(firstRows.front().data(), range.base());
  EXPECT_EQ(lastRows.back().data() + lastRows.back().size(), end);
  RowText beyond;  // no room left in the range
  beyond.Append(U("beyond"), 6, &last);
  EXPECT_EQ(last.ChunkCount(), 2u);
  EXPECT_FALSE(beyond.data() >= range.base() && beyond.data() < end);
  for (size_t i = 0; i < firstRows.size(); ++i)
    ASSERT_TRUE(Holds(firstRows[i], firstTexts[i])) << i;
  for (size_t i = 0; i < lastRows.size(); ++i) ASSERT_TRUE(Holds(lastRows[i], lastTexts[i])) << i;
  EXPECT_EQ(beyond.view(), "beyond");

  firstRows.clear();
  lastRows.clear();
  beyond.Clear();
  first.ReleaseChunk(0);
  last.ReleaseChunk(0);
  last.ReleaseChunk(1);
  for (auto [p, n] : taken)
    if (n) range.Give(p, n);
  EXPECT_EQ(range.FreeBytes(), range.size());
}

// A chunk given back while another is held is taken again, and the held
// one keeps its bytes meanwhile.
TEST(RowArenaTest, ChunksGivenBackAreTakenAgainWhileAnotherIsHeld) {
  AddressRange range(size_t(16) << 20, size_t(16) << 20);
  ASSERT_NE(range.base(), nullptr);
  const std::string a = Bytes(3u << 20, 'a'), b = Bytes(3u << 20, 'A');
  RowArena arena(&range);
  RowText rows[2];
  rows[0].Append(U(a), int(a.size()), &arena);
  rows[1].Append(U(b), int(b.size()), &arena);
  ASSERT_EQ(arena.ChunkCount(), 2u);
  for (const RowText& row : rows) {
    EXPECT_GE(row.data(), range.base());
    EXPECT_LE(row.data() + row.size(), range.base() + range.size());
  }
  const uint8_t* const held = rows[0].data();
  const uint8_t* const freed = rows[1].data();
  std::vector<std::shared_ptr<const void>> holders = arena.Hold();
  holders.resize(1);  // only the first chunk stays held
  const size_t freeBefore = range.FreeBytes();
  rows[0].Clear();
  rows[1].Clear();
  arena.ReleaseChunk(0);
  EXPECT_EQ(range.FreeBytes(), freeBefore);
  arena.ReleaseChunk(1);
  const size_t freeAfter = range.FreeBytes();
  EXPECT_GE(freeAfter, freeBefore + b.size());

  RowArena again(&range);
  const std::string c = Bytes(3u << 20, '0');
  RowText row;
  row.Append(U(c), int(c.size()), &again);
  EXPECT_LT(row.data(), freed + b.size());  // in the room the second chunk had
  EXPECT_GT(row.data() + row.size(), freed);
  EXPECT_TRUE(Holds(row, c));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(held), a.size()), a);

  holders.clear();  // the held chunk goes back too
  EXPECT_GE(range.FreeBytes(), freeAfter - c.size() + a.size());
  row.Clear();
  again.ReleaseChunk(0);
  EXPECT_EQ(range.FreeBytes(), range.size());
}

// The last holder of a chunk may let go on another thread, after the arena
// is gone: the chunk goes back to the range then.
TEST(RowArenaTest, AHeldChunkIsGivenBackFromAnotherThread) {
  AddressRange range(size_t(8) << 20, size_t(8) << 20);
  ASSERT_NE(range.base(), nullptr);
  const std::string text = Bytes(100000, 'a');
  std::vector<std::shared_ptr<const void>> holders;
  const uint8_t* bytes = nullptr;
  {
    RowArena arena(&range);
    RowText row;
    row.Append(U(text), int(text.size()), &arena);
    bytes = row.data();
    holders = arena.Hold();
  }
  EXPECT_LT(range.FreeBytes(), range.size());
  std::string read;
  std::thread reader([&read, bytes, n = text.size(), held = std::move(holders)]() mutable {
    read.assign(reinterpret_cast<const char*>(bytes), n);
    held.clear();
  });
  reader.join();
  EXPECT_EQ(read, text);
  EXPECT_EQ(range.FreeBytes(), range.size());
}

// Where no range can be reserved, or it is too small, chunks are mapped
// anywhere and rows work as before.
TEST(RowArenaTest, ChunksAreMappedAnywhereWithoutARange) {
  AddressRange refused(size_t(1) << 62, size_t(1) << 61);  // beyond any address space
  EXPECT_EQ(refused.base(), nullptr);
  EXPECT_EQ(refused.size(), 0u);
  EXPECT_EQ(refused.Take(4096, 4096), nullptr);
  AddressRange halved(size_t(1) << 62, size_t(1) << 20);
  EXPECT_NE(halved.base(), nullptr);
  EXPECT_GE(halved.size(), size_t(1) << 20);
  EXPECT_LT(halved.size(), size_t(1) << 62);
  AddressRange tiny(size_t(64) << 10, size_t(64) << 10);

  for (AddressRange* range : {&refused, &tiny, static_cast<AddressRange*>(nullptr)}) {
    RowArena arena(range);
    const std::string big = Bytes(3u << 20, 'a'), small = Bytes(3000, 'b');
    RowText rows[3];
    rows[0].Append(U(small), int(small.size()), &arena);
    rows[1].Append(U(big), int(big.size()), &arena);
    rows[2].Append(U(small), 100, &arena);
    ASSERT_EQ(arena.ChunkCount(), 2u);
    EXPECT_EQ(arena.ChunkOf(rows[0].data()), 0);
    EXPECT_EQ(arena.ChunkOf(rows[1].data() + 10), 1);
    EXPECT_TRUE(Holds(rows[0], small));
    EXPECT_TRUE(Holds(rows[1], big));
    std::vector<std::shared_ptr<const void>> held = arena.Hold();
    arena.ReleaseUnusedTail();
    rows[0].Clear();
    arena.ReleaseChunk(0);
    EXPECT_TRUE(Holds(rows[2], small.substr(0, 100)));
    EXPECT_EQ(arena.ChunkOf(rows[2].data()), 1);
  }
  EXPECT_EQ(tiny.FreeBytes(), tiny.size());
}

// Widths kept in one byte, two or four, each time the first width that does
// not fit the narrower kind widens them all, with every earlier width and
// every later move intact.
TEST(RowWidthArrayTest, WidensOnceAWidthDoesNotFit) {
  RowWidthArray w;
  w.assign(8, 0);
  for (int i = 0; i < 8; ++i) w[i] = 1000 * i;
  w.Move(2, 6, 3);  // overlapping, towards the end
  EXPECT_EQ((std::vector<int>{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]}),
            (std::vector<int>{0, 1000, 2000, 2000, 3000, 4000, 5000, 7000}));
  EXPECT_EQ(w.BytesPerWidth(), 1u);
  w[7] = 65535;  // 5 is the common unit now, and 7000 is 1400 of it
  EXPECT_EQ(w.BytesPerWidth(), 2u);
  EXPECT_EQ(w[5], 4000);
  w[6] = 65536;
  EXPECT_TRUE(w.wide());
  w.Move(3, 8, 1);  // overlapping, towards the start
  EXPECT_EQ((std::vector<int>{w[0], w[1], w[2], w[3], w[4], w[5]}),
            (std::vector<int>{0, 2000, 3000, 4000, 65536, 65535}));
  w.resize(12, 0);
  EXPECT_EQ(w[11], 0);
  w.assign(4, 0);
  EXPECT_FALSE(w.wide());
  EXPECT_EQ(w.BytesPerWidth(), 1u);
  w[0] = -1;  // never produced by the layout, but kept exactly
  EXPECT_EQ(w[0], -1);
  EXPECT_TRUE(w.wide());
}

// Rows of a font whose cells share one width: the unit becomes finer as
// widths that are not its multiples come (counts already stored grow with
// it), and the widths stay in one byte while the counts fit there.
TEST(RowWidthArrayTest, KeepsWholeCellsInOneByte) {
  RowWidthArray w;
  w.assign(6, 0);
  w[0] = 560;  // the first width is the unit until another comes
  w[1] = 553;  // 7 px cells: 80 and 79 of them
  w[2] = 7;
  w[3] = 0;
  w[4] = 1785;  // 255 cells, the most one byte holds
  w.resize(9, 0);
  w[8] = 14;
  w.Move(0, 3, 5);
  EXPECT_EQ(w.BytesPerWidth(), 1u);
  EXPECT_EQ((std::vector<int>{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8]}),
            (std::vector<int>{560, 553, 7, 0, 1785, 560, 553, 7, 14}));
  w[3] = 1792;  // 256 cells
  EXPECT_EQ(w.BytesPerWidth(), 2u);
  EXPECT_EQ((std::vector<int>{w[0], w[3], w[4], w[8]}), (std::vector<int>{560, 1792, 1785, 14}));
  // A second unit that would make an earlier count too large widens too.
  w.assign(3, 0);
  w[0] = 200 * 8;
  w[1] = 3;
  EXPECT_EQ(w.BytesPerWidth(), 2u);
  EXPECT_EQ((std::vector<int>{w[0], w[1], w[2]}), (std::vector<int>{1600, 3, 0}));
}

}  // namespace
}  // namespace prambus
