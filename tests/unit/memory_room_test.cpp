// Large edits ask for their memory before they change anything: one that
// cannot have it changes nothing and says so, and goes through once the
// memory is there.
#include "io/memory_room.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "encodings/code_tables.h"
#include "settings/settings.h"
#include "support/sanitizers.h"
#include "support/test_canvas.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {
namespace {

constexpr size_t kMiB = size_t(1) << 20;

// Stands in for the system's answer: `from` bytes or more cannot be had (a
// mebibyte unless said).
class ShortOfMemory {
 public:
  explicit ShortOfMemory(size_t from = kMiB) {
    refusedFrom = from;
    SetMemoryRoomProbe([](size_t bytes) { return bytes < refusedFrom; });
  }
  ~ShortOfMemory() { SetMemoryRoomProbe(nullptr); }

 private:
  inline static size_t refusedFrom = kMiB;
};

std::string Content(const ViewBase& v) {
  std::string s;
  for (int r = 0; r <= v.LastRow(); ++r) s += v.GetRow(r);
  return s;
}

// Whether the view holds exactly these bytes, read in place: under a tight
// limit there may be no room for a copy.
bool Holds(const ViewBase& v, std::string_view bytes) {
  size_t at = 0;
  for (int r = 0; r <= v.LastRow(); ++r) {
    const std::string_view row = v.GetRow(r);
    if (bytes.substr(at, row.size()) != row) return false;
    at += row.size();
  }
  return at == bytes.size();
}

// The process's address space now, in bytes.
size_t AddressSpaceBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0;
  statm >> pages;
  return pages * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}

// Under a limit on the address space, room is had up to the limit and not
// past it; asking takes none of it.
TEST(MemoryRoomDeathTest, TheSystemsAnswerFollowsTheAddressSpaceLeft) {
  if (kUnderAddressSanitizer) GTEST_SKIP() << "the sanitizer maps far more than any limit";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_TRUE(MemoryRoomFor(64 * kMiB));
  EXPECT_EXIT(
      {
        const size_t limit = AddressSpaceBytes() + 64 * kMiB;
        struct rlimit l;
        l.rlim_cur = l.rlim_max = limit;
        if (::setrlimit(RLIMIT_AS, &l) != 0) std::_Exit(2);
        bool ok = MemoryRoomFor(16 * kMiB) && !MemoryRoomFor(256 * kMiB);
        ok = ok && MemoryRoomFor(48 * kMiB) && MemoryRoomFor(48 * kMiB);  // given back each time
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

class MemoryShortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};
    Cfg().MaxUndoLen = 16 << 20;  // large insertions are kept for undo
  }
  TestCanvas canvas;
};

// An insertion, and the undo and redo steps that would put megabytes back,
// are refused whole in both views; the refusal is told once.
TEST_F(MemoryShortTest, LargeInsertionsAndHistoryStepsAreRefusedWhole) {
  const std::string big(2 * kMiB, 'x');
  TextView text(&canvas);
  text.AppendString("ab\r\ncd");
  HexView hex(&canvas);
  hex.SetBytes("ab\r\ncd");
  for (ViewBase* v : {static_cast<ViewBase*>(&text), static_cast<ViewBase*>(&hex)}) {
    const uint64_t revision = v->Revision();
    {
      ShortOfMemory shortOfMemory;
      EXPECT_FALSE(v->InsertText(big, true, true));
      EXPECT_TRUE(v->TakeMemoryShort());
      EXPECT_FALSE(v->TakeMemoryShort());  // told once
      EXPECT_EQ(Content(*v), "ab\r\ncd");
      EXPECT_EQ(v->Revision(), revision);
      EXPECT_FALSE(v->CanUndo());
      v->InsertText("small", true, true);  // under a mebibyte: never asked about
      EXPECT_FALSE(v->TakeMemoryShort());
      v->Undo();
    }
    v->InsertText(big, true, true);
    const std::string grown = big + "ab\r\ncd";
    ASSERT_EQ(Content(*v), grown);
    {
      ShortOfMemory shortOfMemory;
      v->Undo();
      EXPECT_TRUE(v->TakeMemoryShort());
      EXPECT_EQ(Content(*v), grown);
    }
    v->Undo();
    EXPECT_EQ(Content(*v), "ab\r\ncd");
    {
      ShortOfMemory shortOfMemory;
      v->Redo();
      EXPECT_TRUE(v->TakeMemoryShort());
      EXPECT_EQ(Content(*v), "ab\r\ncd");
      EXPECT_TRUE(v->CanRedo());
    }
    v->Redo();
    EXPECT_EQ(Content(*v), grown);
  }
}

// Undoing a text insertion asks only for the one copy it makes: with room
// for that but not for another paste, the paste that used the memory up can
// still be taken back, and only putting it back again is refused.
TEST_F(MemoryShortTest, UndoingAnInsertionAsksOnlyForTheCopyItMakes) {
  const std::string big(2 * kMiB, 'x');
  TextView text(&canvas);
  text.AppendString("ab");
  text.InsertText(big, true, true);
  ShortOfMemory shortOfMemory(3 * kMiB);
  text.Undo();
  EXPECT_FALSE(text.TakeMemoryShort());
  EXPECT_EQ(Content(text), "ab");
  text.Redo();
  EXPECT_TRUE(text.TakeMemoryShort());
  EXPECT_EQ(Content(text), "ab");
}

// A recode whose rows cannot be made again from its result changes nothing;
// with the memory there it converts.
TEST_F(MemoryShortTest, ARecodeWhoseRowsCannotBeMadeAgainChangesNothing) {
  std::string doc;
  while (doc.size() < 2 * kMiB) doc += "\xE0\xE1\xE2 abc\r\n";  // "абв" in Windows-1251
  TextView text(&canvas);
  text.AppendString(doc);
  {
    ShortOfMemory shortOfMemory;
    EXPECT_FALSE(text.Recode(WindowsTable(), MarkerTable(kConvUtf8)));
    EXPECT_TRUE(text.TakeMemoryShort());
    EXPECT_TRUE(Holds(text, doc));
  }
  EXPECT_TRUE(text.Recode(WindowsTable(), MarkerTable(kConvUtf8)));
  EXPECT_FALSE(text.TakeMemoryShort());
  EXPECT_EQ(text.GetTextLength(), static_cast<int64_t>(doc.size() / 9 * 12));
}

// A conversion that runs out of memory while its result is made leaves the
// document as it was and says why, instead of ending the program.
TEST_F(MemoryShortTest, ARecodeThatRunsOutOfMemoryChangesNothing) {
  if (kUnderAddressSanitizer) GTEST_SKIP() << "the sanitizer maps far more than any limit";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::string doc;
  for (int i = 0; doc.size() < 8 * kMiB; ++i) doc += "строка " + std::to_string(i) + "\r\n";
  for (const bool inHex : {false, true}) {
    EXPECT_EXIT(
        {
          std::unique_ptr<ViewBase> v;
          if (inHex) {
            auto h = std::make_unique<HexView>(&canvas);
            h->SetBytes(doc);
            v = std::move(h);
          } else {
            v = std::make_unique<TextView>(&canvas);
            v->AppendString(doc);
          }
          // Room for the copy of the document, not for the result twice as long.
          const size_t limit = AddressSpaceBytes() + 12 * kMiB;
          struct rlimit l;
          l.rlim_cur = l.rlim_max = limit;
          if (::setrlimit(RLIMIT_AS, &l) != 0) std::_Exit(2);
          const bool refused = !v->Recode(WindowsTable(), MarkerTable(kConvUtf16));
          const bool told = v->TakeMemoryShort();
          const bool same = Holds(*v, doc);
          std::_Exit(refused && told && same ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << (inHex ? "hex" : "text");
  }
}

}  // namespace
}  // namespace prambus
