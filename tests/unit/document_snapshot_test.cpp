// A snapshot of the document, written out later, gives exactly the bytes a
// save would have written when it was taken, whatever the view did after.
#include "views/document_snapshot.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "encodings/code_tables.h"
#include "shell/find_replace.h"
#include "support/temp_dir.h"
#include "support/text_view_fixture.h"
#include "views/hex_view.h"

namespace prambus {
namespace {

std::string Written(const std::function<void(int)>& write) {
  TempDir dir;
  const std::string path = dir.File("out");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  EXPECT_GE(fd, 0);
  write(fd);
  ::close(fd);
  return TempDir::Read(path);
}

std::string Snapshotted(ViewBase& view) {
  DocumentSnapshot s;
  TakeSnapshot(view, s);
  return Written([&s](int fd) { WriteSnapshot(fd, s); });
}

class SnapshotTextTest : public TextViewTest {
 protected:
  std::string Saved() {
    return Written([this](int fd) { view->WriteContent(fd); });
  }
};

// Random texts of line ends of every kind, blank lines and long wrapped
// lines, edited here and there, under each table and line-end rule.
TEST_F(SnapshotTextTest, WritesWhatSavingWrites) {
  std::mt19937 rng(7);
  const std::string pieces[] = {"\r\n", "\n", "\r", "\n\r", "word ", "Привет ", "\x8F\xE0", "x"};
  for (int round = 0; round < 60; ++round) {
    std::string text;
    const int n = static_cast<int>(rng() % 80);
    for (int i = 0; i < n; ++i) text += pieces[rng() % std::size(pieces)];
    Load(text, 40 + static_cast<int>(rng() % 100), 1 + rng() % 64);
    for (int e = 0; e < 3 && view->LastRow() >= 0; ++e) {
      view->SetPosition(static_cast<int>(rng() % 5),
                        static_cast<int>(rng() % (view->LastRow() + 1)), true);
      view->InsertText(rng() % 2 ? "ab\r\n" : "zz", true, true);
    }
    view->SetCharTable(round % 3 == 0 ? DosTable() : WindowsTable());
    const char* ends[] = {"\r\n", "\n", "\r"};
    if (round % 2) view->ChooseLineEnd(ends[round % 3], round % 3, true);
    const std::string saved = Saved();
    EXPECT_EQ(Snapshotted(*view), saved) << "round " << round;
    view->KeepLineEnds(true);
  }
}

TEST_F(SnapshotTextTest, IsTheDocumentAsItWasWhenTaken) {
  Load("first line\r\nsecond line\r\n", 60);
  DocumentSnapshot s;
  TakeSnapshot(*view, s);
  EXPECT_TRUE(s.edited.empty());  // loaded rows are kept, not copied
  view->SetPosition(0, 0, true);
  view->InsertText("changed ", true, true);
  EXPECT_EQ(Written([&s](int fd) { WriteSnapshot(fd, s); }), "first line\r\nsecond line\r\n");
  // The next one copies only the edited rows, into the view's arena, and
  // keeps them from then on like the loaded ones.
  ASSERT_GT(view->MemoryUse().edited, 0u);
  TakeSnapshot(*view, s);
  EXPECT_EQ(view->MemoryUse().edited, 0u);
  EXPECT_TRUE(s.edited.empty());
  EXPECT_EQ(Written([&s](int fd) { WriteSnapshot(fd, s); }), Saved());
  view->Clear();
  EXPECT_EQ(Snapshotted(*view), "");
}

// Snapshots taken between edits of every kind, each written only after
// later edits (and later snapshots) have changed the document: each must
// still give what saving gave when it was taken. Loaded rows whose bytes a
// snapshot keeps instead of copying must therefore never change in place.
void EditCopyEditCopy(ViewBase& view, const std::function<std::string()>& saved,
                      std::mt19937& rng) {
  struct Taken {
    DocumentSnapshot snapshot;
    std::string expected;
  };
  std::vector<std::unique_ptr<Taken>> taken;
  auto offsetToPos = [&](int64_t offset, bool cursor) {
    int col = static_cast<int>(offset), row = 0;
    view.OffsetToPos(col, row);
    view.SetPosition(col, row, cursor);
  };
  auto somewhere = [&] {
    return static_cast<int64_t>(rng() % static_cast<uint64_t>(view.GetTextLength() + 1));
  };
  for (int step = 0; step < 24; ++step) {
    switch (rng() % 7) {
      case 0:  // typing
        offsetToPos(somewhere(), true);
        for (const char c : std::string(rng() % 2 ? "new " : "\r\nab")) view.TypeChar(uint8_t(c));
        break;
      case 1: {  // deleting across rows
        const int64_t a = somewhere(), b = somewhere();
        offsetToPos(std::min(a, b), false);
        offsetToPos(std::max(a, b), true);
        view.DeleteSelection(true, true);
        break;
      }
      case 2:  // deleting inside a row
        offsetToPos(somewhere(), true);
        view.DeleteForward();
        view.DeleteForward();
        break;
      case 3:
        view.Undo();
        break;
      case 4: {  // "Заменить всё"
        ReplaceSession replace;
        replace.options.find = rng() % 2 ? "o" : "\r";
        replace.options.replace = rng() % 2 ? "" : "0O0";
        replace.Show(false);
        std::string message;
        replace.ReplaceAll(view, message);
        break;
      }
      case 5:  // recoding in place
        view.Recode(step % 2 ? DosTable() : WindowsTable(), step % 2 ? WindowsTable() : DosTable());
        break;
      case 6:  // shown through another table
        view.SetCharTable(step % 2 ? DosTable() : WindowsTable());
        break;
    }
    // A snapshot of its own, or the oldest one taken again in its buffers.
    if (taken.size() < 3) {
      taken.push_back(std::make_unique<Taken>());
    } else {
      std::rotate(taken.begin(), taken.begin() + 1, taken.end());
      const std::string was = Written([&](int fd) { WriteSnapshot(fd, taken.back()->snapshot); });
      EXPECT_EQ(was, taken.back()->expected) << "written after later edits, step " << step;
    }
    TakeSnapshot(view, taken.back()->snapshot);
    taken.back()->expected = saved();
  }
  for (const auto& t : taken)
    EXPECT_EQ(Written([&](int fd) { WriteSnapshot(fd, t->snapshot); }), t->expected);
}

TEST_F(SnapshotTextTest, StaysWhatItWasThroughLaterEdits) {
  std::mt19937 rng(11);
  const std::string pieces[] = {"\r\n", "\n", "word ", "\xCF\xF0\xE8 ", "loooooong ", "o"};
  for (int round = 0; round < 12; ++round) {
    std::string text;
    for (int i = 0; i < 400; ++i) text += pieces[rng() % std::size(pieces)];
    Load(text, 60 + static_cast<int>(rng() % 100), 1 + rng() % 512);
    if (round % 2) view->ChooseLineEnd("\r\n", 0, true);
    EditCopyEditCopy(
        *view, [this] { return Saved(); }, rng);
    view->KeepLineEnds(true);
  }
}

TEST(SnapshotHex, StaysWhatItWasThroughLaterEdits) {
  TestCanvas canvas;
  Cfg() = Settings{};
  std::mt19937 rng(5);
  for (int round = 0; round < 4; ++round) {
    HexView view(&canvas);
    view.SetViewWidth(400);
    view.SetViewHeight(160);
    std::string bytes;
    for (int i = 0; i < 3000; ++i) bytes += static_cast<char>("o\r\nab\xCF"[rng() % 6]);
    view.SetBytes(bytes);
    EditCopyEditCopy(
        view, [&view] { return Written([&view](int fd) { view.WriteContent(fd); }); }, rng);
  }
}

TEST(SnapshotHex, TakesBothSidesOfTheGap) {
  TestCanvas canvas;
  Cfg() = Settings{};
  HexView view(&canvas);
  std::string big(5 << 20, 'a');  // large enough for a mapped buffer
  for (size_t i = 0; i < big.size(); i += 4099) big[i] = static_cast<char>(i);
  view.SetBytes(big);
  view.MoveCursorToByte(1 << 20);
  view.InsertText("middle", true, true);
  EXPECT_EQ(Snapshotted(view), view.Data().ToString());
}

// A buffer handed on is left empty, whichever way it is moved: one that kept
// its size without its bytes would be read through a null pointer.
TEST(SnapshotBufferTest, ABufferMovedFromHoldsNothing) {
  SnapshotBuffer a(100), b(10);
  b = std::move(a);
  EXPECT_EQ(b.size(), 100u);
  EXPECT_EQ(a.size(), 0u);
  EXPECT_EQ(a.data(), nullptr);
  EXPECT_FALSE(a.Fit(1));
  SnapshotBuffer c(std::move(b));
  EXPECT_EQ(c.size(), 100u);
  EXPECT_EQ(b.size(), 0u);
  EXPECT_EQ(b.capacity(), 0u);
}

}  // namespace
}  // namespace prambus
