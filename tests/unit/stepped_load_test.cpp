// Loading a file in steps gives exactly the document a load in one go gives,
// whatever the steps, and a file that goes wrong part-way fails at that step.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <string>

#include "encodings/code_tables.h"
#include "io/disk_identity.h"
#include "io/io_error.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "support/test_canvas.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {
namespace {

// Words of varied widths, CR LF, lone CR and LF, tabs and Cyrillic, in lines
// longer and shorter than the wrap width.
std::string MixedText(size_t size) {
  static const char* const pieces[] = {"слово ", "word ", "\r\n", "\r",
                                       "\n",     "\t",    "x",    "длинноеслововбезпробелов",
                                       "  ",     ".,;",   "\xB9 "};
  std::mt19937 random(7);
  std::string s;
  while (s.size() < size) s += pieces[random() % std::size(pieces)];
  s.resize(size);
  return s;
}

const size_t kSteps[] = {1, 2, 3, 5, 7, 8191, 8192, 8193, 65536, 1 << 20};

class SteppedLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};
    for (int c = 0; c < 256; c += 3) canvas_.SetCharWidth(static_cast<uint8_t>(c), 1 + c % 13);
  }
  std::unique_ptr<TextView> NewText(const CodeTable& table) {
    auto v = std::make_unique<TextView>(&canvas_);
    v->SetWrapWidth(97);
    v->SetCharTable(table);
    return v;
  }
  // Loads in steps of `step` bytes, checking the progress and the width after each.
  static void LoadInSteps(ViewBase& view, const std::string& path, size_t step, int64_t size) {
    const auto load = view.BeginLoad(path);
    EXPECT_EQ(load->Total(), size);
    int64_t before = 0;
    int steps = 0;
    while (!load->Step(step)) {
      EXPECT_GT(load->Done(), before);
      EXPECT_LE(load->Done() - before, static_cast<int64_t>(step));
      before = load->Done();
      if (auto* text = dynamic_cast<TextView*>(&view); text && ++steps % 97 == 0) {
        int widest = 0;
        for (int r = 0; r <= text->LastRow(); ++r) widest = std::max(widest, text->RowWidth(r));
        ASSERT_EQ(text->GetDocumentWidth(), widest) << "after " << load->Done() << " bytes";
      }
    }
    EXPECT_TRUE(load->Finished());
    EXPECT_EQ(load->Done(), size);
  }
  TestCanvas canvas_;
  TempDir dir_;
};

TEST_F(SteppedLoadTest, TextLoadedInAnyStepsIsLaidOutAsAWholeLoad) {
  const std::string path = dir_.File("mixed.txt");
  const std::string content = MixedText(300000);
  TempDir::Write(path, content);
  for (const CodeTable* table : {&WindowsTable(), &DosTable()}) {
    for (size_t step : kSteps) {
      SCOPED_TRACE("step " + std::to_string(step));
      auto whole = NewText(*table);
      whole->LoadFromFile(path);
      auto stepped = NewText(*table);
      LoadInSteps(*stepped, path, step, static_cast<int64_t>(content.size()));
      ASSERT_EQ(stepped->LastRow(), whole->LastRow());
      for (int r = 0; r <= whole->LastRow(); ++r) {
        ASSERT_EQ(stepped->GetRow(r), whole->GetRow(r)) << "row " << r;
        ASSERT_EQ(stepped->RowWidth(r), whole->RowWidth(r)) << "row " << r;
      }
      EXPECT_EQ(stepped->GetDocumentWidth(), whole->GetDocumentWidth());
      EXPECT_EQ(stepped->GetDocumentHeight(), whole->GetDocumentHeight());
      // And the same after an edit, which starts from the kept widest row.
      for (auto* v : {stepped.get(), whole.get()}) {
        v->SetPosition(0, 0, true);
        v->SetPosition(0, 0, false);
        v->TypeChar('\r');
      }
      EXPECT_EQ(stepped->GetDocumentWidth(), whole->GetDocumentWidth());
    }
  }
}

// The rows hold the file's bytes, whatever the wrap: a block is read into the
// arena above the rows and moved down as rows take it, so nothing may read
// the block where it was read after a row has taken it.
TEST_F(SteppedLoadTest, ALoadedFileIsSavedBackByteForByte) {
  std::string bytes(300000, '\0');
  std::mt19937 random(11);
  for (char& c : bytes) c = static_cast<char>(random());
  const std::string saved = dir_.File("saved");
  for (const std::string& content : {MixedText(300000), bytes}) {
    const std::string path = dir_.File("file");
    TempDir::Write(path, content);
    for (const int wrap : {13, 37, 97, 211, 640}) {
      SCOPED_TRACE("wrap " + std::to_string(wrap));
      auto view = NewText(WindowsTable());
      view->SetWrapWidth(wrap);
      view->LoadFromFile(path);
      const int fd = ::open(saved.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ASSERT_GE(fd, 0);
      view->WriteContent(fd);
      ::close(fd);
      const std::string back = TempDir::Read(saved);
      ASSERT_EQ(back.size(), content.size());
      const auto diff = std::mismatch(back.begin(), back.end(), content.begin());
      ASSERT_TRUE(diff.first == back.end()) << "first difference at " << diff.first - back.begin();
    }
  }
}

// At each block boundary a word runs on past the wrap: the row's part of it
// from the block before moves to a row of its own, which then takes two more
// bytes of the new block by copy, so the rows after it move their bytes two
// down the arena. The word across the next boundary must still be the file's.
TEST_F(SteppedLoadTest, AWordWrappedAtEveryBlockBoundaryKeepsItsBytes) {
  for (int c = 0; c < 256; ++c) canvas_.SetCharWidth(static_cast<uint8_t>(c), 1);
  constexpr size_t kBlock = 8192;
  const std::string word = std::string(25, 'a') + ' ' + "0123456789\n";
  std::string content;
  for (size_t boundary = kBlock; boundary <= 8 * kBlock; boundary += kBlock) {
    const size_t lineStart = boundary - 33;  // 'a' x 25, ' ', then "0123456" before it
    while (content.size() < lineStart) {
      const size_t room = lineStart - content.size();
      const size_t len = room > 31 ? 20 : room - 1;  // the last filler ends the gap exactly
      content += std::string(len, 'f') + '\n';
    }
    content += word;
  }
  const std::string path = dir_.File("words");
  TempDir::Write(path, content);
  auto view = NewText(WindowsTable());
  view->SetWrapWidth(35);
  view->LoadFromFile(path);
  std::string rows;
  for (int r = 0; r <= view->LastRow(); ++r) rows += view->GetRow(r);
  ASSERT_EQ(rows.size(), content.size());
  const auto diff = std::mismatch(rows.begin(), rows.end(), content.begin());
  EXPECT_TRUE(diff.first == rows.end()) << "first difference at " << diff.first - rows.begin();
}

// The widest row, the last of a step, can narrow in the next: its last word
// wraps to the next row there. The document's width follows it down.
TEST_F(SteppedLoadTest, TheWidestRowNarrowedByTheNextStepNarrowsTheDocument) {
  canvas_.SetAllWidths(8);
  const std::string path = dir_.File("narrows");
  TempDir::Write(path, "aaaaaaaa bbbbbbbb");  // the break at 72 px of 97
  auto view = NewText(WindowsTable());
  const auto load = view->BeginLoad(path);
  ASSERT_FALSE(load->Step(11));  // "aaaaaaaa bb": one row of 88 px
  EXPECT_EQ(view->GetDocumentWidth(), 88);
  EXPECT_TRUE(load->Step(100));
  ASSERT_EQ(view->LastRow(), 1);
  EXPECT_EQ(view->RowWidth(0), 72);
  EXPECT_EQ(view->GetDocumentWidth(), 72);
}

TEST_F(SteppedLoadTest, HexLoadedInAnyStepsHoldsTheFileBytes) {
  const std::string path = dir_.File("bytes.bin");
  std::string content(200003, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 131 + i / 7);
  TempDir::Write(path, content);
  HexView whole(&canvas_);
  whole.LoadFromFile(path);
  ASSERT_EQ(whole.Data().ToString(), content);
  for (size_t step : {size_t(1), size_t(4095), size_t(65536), SIZE_MAX}) {
    HexView stepped(&canvas_);
    if (step == 1) {  // a byte at a time: a shorter file will do
      const std::string small = dir_.File("small.bin");
      TempDir::Write(small, content.substr(0, 5000));
      LoadInSteps(stepped, small, step, 5000);
      EXPECT_EQ(stepped.Data().ToString(), content.substr(0, 5000));
      continue;
    }
    LoadInSteps(stepped, path, step, static_cast<int64_t>(content.size()));
    EXPECT_EQ(stepped.Data().ToString(), whole.Data().ToString());
    EXPECT_EQ(stepped.LastRow(), whole.LastRow());
  }
  // Both views take an empty file in one step.
  const std::string empty = dir_.File("empty");
  TempDir::Write(empty, "");
  HexView hex(&canvas_);
  EXPECT_TRUE(hex.BeginLoad(empty)->Step(1));
  TextView text(&canvas_);
  EXPECT_TRUE(text.BeginLoad(empty)->Step(1));
}

// A load hashes the file's bytes as it reads them, so the window need not
// read the file again: the hash is the one a second read takes, whatever the
// steps and the display table, and there is none before the end.
TEST_F(SteppedLoadTest, ALoadHashesTheFileAsASecondReadWould) {
  const std::string path = dir_.File("hashed");
  std::string content = MixedText(100003);
  for (size_t i = 0; i < content.size(); i += 101) content[i] = static_cast<char>(i);
  TempDir::Write(path, content);
  uint64_t expected = 0;
  ASSERT_TRUE(HashFileContent(path, expected));
  for (size_t step : {size_t(1) << 20, size_t(4095), size_t(7)}) {
    auto text = NewText(DosTable());
    HexView hex(&canvas_);
    for (ViewBase* view : {static_cast<ViewBase*>(text.get()), static_cast<ViewBase*>(&hex)}) {
      const auto load = view->BeginLoad(path);
      while (!load->Step(step)) EXPECT_FALSE(load->FileHash());
      ASSERT_TRUE(load->FileHash());
      EXPECT_EQ(*load->FileHash(), expected) << "step " << step;
    }
  }
  // A file of one byte more tells apart, and a copy of another view's bytes
  // reads no file.
  TempDir::Write(path, content + 'x');
  auto text = NewText(WindowsTable());
  const auto load = text->BeginLoad(path);
  while (!load->Step(SIZE_MAX)) {
  }
  EXPECT_NE(*load->FileHash(), expected);
  const std::string bytes = content;
  const std::span<const uint8_t> all(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  auto copy = NewText(WindowsTable());
  const auto copied = copy->BeginCopy(all, {});
  while (!copied->Step(SIZE_MAX)) {
  }
  EXPECT_FALSE(copied->FileHash());
}

TEST_F(SteppedLoadTest, AFileCutShortPartWayFailsAtTheStepThatFindsIt) {
  const std::string path = dir_.File("shrinking");
  TempDir::Write(path, MixedText(100000));
  TextView text(&canvas_);
  HexView hex(&canvas_);
  for (ViewBase* view : {static_cast<ViewBase*>(&text), static_cast<ViewBase*>(&hex)}) {
    TempDir::Write(path, MixedText(100000));
    const auto load = view->BeginLoad(path);
    EXPECT_FALSE(load->Step(30000));
    ASSERT_EQ(::truncate(path.c_str(), 50000), 0);  // another program cuts it
    EXPECT_FALSE(load->Step(10000));
    try {
      load->Step(SIZE_MAX);
      ADD_FAILURE() << "a load of a file cut short finished";
    } catch (const IoError& e) {
      EXPECT_EQ(e.Problem(), FileProblem::kShortRead);
    }
    EXPECT_FALSE(load->Finished());
    EXPECT_LE(view->GetTextLength(), 50000);
  }
}

}  // namespace
}  // namespace prambus
