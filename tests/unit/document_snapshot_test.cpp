// A snapshot of the document, written out later, gives exactly the bytes a
// save would have written when it was taken, whatever the view did after.
#include "views/document_snapshot.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "encodings/code_tables.h"
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

std::string Snapshotted(const ViewBase& view) {
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
    for (int e = 0; e < 3 && view->LastRow >= 0; ++e) {
      view->SetPosition(static_cast<int>(rng() % 5), static_cast<int>(rng() % (view->LastRow + 1)),
                        true);
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
  view->SetPosition(0, 0, true);
  view->InsertText("changed ", true, true);
  EXPECT_EQ(Written([&s](int fd) { WriteSnapshot(fd, s); }), "first line\r\nsecond line\r\n");
  // The buffer is reused for the next snapshot.
  const uint8_t* buffer = s.bytes.data();
  TakeSnapshot(*view, s);
  EXPECT_EQ(s.bytes.data(), buffer);
  EXPECT_EQ(Written([&s](int fd) { WriteSnapshot(fd, s); }), Saved());
  view->Clear();
  EXPECT_EQ(Snapshotted(*view), "");
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

}  // namespace
}  // namespace prambus
