// The bytes checksums are taken of: what saving writes, for the whole
// document or its selection, read in pieces of any size.
#include "views/saved_bytes.h"

#include <gtest/gtest.h>

#include "encodings/code_tables.h"
#include "shell/checksum_job.h"
#include "support/text_view_fixture.h"
#include "views/hex_view.h"

namespace prambus {
namespace {

std::string ReadAll(SavedBytes& bytes, size_t piece) {
  std::string out;
  for (auto p = bytes.Next(piece); !p.empty(); p = bytes.Next(piece))
    out.append(reinterpret_cast<const char*>(p.data()), p.size());
  EXPECT_EQ(bytes.Done(), bytes.Total());
  return out;
}

std::string Saved(ViewBase& view, bool selectionOnly, size_t piece = 1 << 16) {
  return ReadAll(*ReadSavedBytes(view, selectionOnly), piece);
}

// DOS bytes shown through the DOS table, in rows wrapped at ten characters.
class SavedTextTest : public TextViewTest {
 protected:
  void SetUp() override {
    TextViewTest::SetUp();
    Load(kFile, 80);
    view->SetCharTable(DosTable());
    ASSERT_EQ(view->GetRow(0).substr(0, 2), "\xCF\xF0");  // "Пр" as the view shows it
  }
  static constexpr const char* kFile = "\x8F\xE0\xA8\xA2\xA5\xE2 world, long line\r\nsecond\nend";
};

TEST_F(SavedTextTest, TheWholeDocumentIsTheFileAsSaved) {
  for (size_t piece : {size_t{1}, size_t{3}, size_t{7}, size_t{1} << 16})
    EXPECT_EQ(Saved(*view, false, piece), kFile) << piece;
  EXPECT_EQ(Saved(*view, true), "");  // no selection
}

TEST_F(SavedTextTest, TheSelectionAcrossWrappedRowsAndLineEnds) {
  // From "world" on the first row to "sec" on the third line's row.
  view->SetPosition(3, view->LastRow() - 1, true);
  view->SetPosition(7, 0, false);
  ASSERT_TRUE(view->HasSelection());
  for (size_t piece : {size_t{1}, size_t{4}, size_t{1} << 16})
    EXPECT_EQ(Saved(*view, true, piece), "world, long line\r\nsec") << piece;
  auto reader = ReadSavedBytes(*view, true);
  EXPECT_EQ(reader->Total(), 21);
}

TEST_F(SavedTextTest, LineEndsAreConvertedAsSavingConvertsThem) {
  Cfg().LineEnd = "\r\n";
  view->ChooseLineEnd("\r\n", 2, true);
  ASSERT_TRUE(view->ConvertLineEnds);
  EXPECT_EQ(Saved(*view, false, 5), "\x8F\xE0\xA8\xA2\xA5\xE2 world, long line\r\nsecond\r\nend");
  // A selection that ends before a line end leaves it out; one after it has it converted.
  view->SetPosition(0, view->LastRow(), true);
  view->SetPosition(2, view->LastRow() - 1, false);
  EXPECT_EQ(Saved(*view, true), "cond\r\n");
  view->SetPosition(6, view->LastRow() - 1, true);
  EXPECT_EQ(Saved(*view, true), "cond");
}

TEST(SavedHexBytes, ReadAcrossTheGapOfTheLastEdit) {
  TestCanvas canvas;
  Cfg() = Settings{};
  HexView view(&canvas);
  view.SetBytes(std::string(1000, 'a'));
  view.MoveCursorToByte(500);
  view.InsertText("middle", true, true);  // the storage's gap now lies after it
  const std::string all = view.Data().ToString();
  ASSERT_EQ(all.substr(500, 6), "middle");
  for (size_t piece : {size_t{1}, size_t{7}, size_t{4096}})
    EXPECT_EQ(Saved(view, false, piece), all) << piece;
  // Selections read exactly the bytes GetSelectedText gives, digits included.
  view.MoveCursorToByte(498);
  view.SetPosition(0, 32, false);  // from offset 498 back to 512
  EXPECT_EQ(Saved(view, true, 3), view.GetSelectedText());
  EXPECT_EQ(Saved(view, true).size(), 14u);
  view.MoveCursorToByte(10);
  view.CursorDigit = 1;  // inside one code: that byte
  EXPECT_EQ(Saved(view, true), "a");
}

// Records what it was fed, to see the job hand every byte over once, in order.
class RecordingDigest : public Digest {
 public:
  explicit RecordingDigest(std::string* fed) : fed_(fed) {}
  void Add(std::span<const uint8_t> bytes) override {
    fed_->append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  std::string Hex() override { return std::to_string(fed_->size()); }

 private:
  std::string* fed_;
};

TEST(ChecksumJob, FeedsEveryDigestInStepsWithProgress) {
  TestCanvas canvas;
  Cfg() = Settings{};
  HexView view(&canvas);
  std::string bytes;
  for (int i = 0; i < 3 * static_cast<int>(ChecksumJob::kPieceBytes) + 5; ++i)
    bytes += static_cast<char>(i * 7);
  view.SetBytes(bytes);
  std::string first, second;
  std::vector<std::unique_ptr<Digest>> digests;
  digests.push_back(std::make_unique<RecordingDigest>(&first));
  digests.push_back(std::make_unique<RecordingDigest>(&second));
  ChecksumJob job(ReadSavedBytes(view, false), std::move(digests));
  std::vector<int> permilles;  // thousandths read, rounded down
  while (!job.Step(1)) {       // a piece per step
    permilles.push_back(job.Permille());
    EXPECT_TRUE(job.Results().empty());
  }
  EXPECT_EQ(permilles, (std::vector<int>{333, 666, 999, 1000}));
  EXPECT_EQ(job.Permille(), 1000);
  EXPECT_EQ(first, bytes);
  EXPECT_EQ(second, bytes);
  EXPECT_EQ(job.BytesRead(), static_cast<int64_t>(bytes.size()));
  EXPECT_EQ(job.Results(),
            (std::vector<std::string>{std::to_string(bytes.size()), std::to_string(bytes.size())}));
}

}  // namespace
}  // namespace prambus
