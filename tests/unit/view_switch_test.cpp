// A switch of view kind: the document handed from one view to the other
// keeps every byte, and the text view it lands in is laid out exactly as a
// direct load of the same bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "encodings/code_tables.h"
#include "settings/settings.h"
#include "support/test_canvas.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {
namespace {

// A text of about `bytes` bytes: words, punctuation, brackets, tabs, Cyrillic,
// line ends of every kind and lines long enough to wrap.
std::string MixedText(size_t bytes) {
  static const char* const kPieces[] = {"word ",
                                        "\xEF\xF0\xE8\xE2\xE5\xF2, ",
                                        "(x) ",
                                        "end.\r\n",
                                        "tab\there ",
                                        "\r\n",
                                        "long-hyphenated-word ",
                                        "\n",
                                        "a; b: c! ",
                                        "\r",
                                        "[bracket] ",
                                        "\xC0\xC1\xC2 "};
  std::string text;
  unsigned seed = 7;
  while (text.size() < bytes) {
    seed = seed * 1103515245u + 12345u;
    text += kPieces[(seed >> 16) % (sizeof kPieces / sizeof *kPieces)];
  }
  return text;
}

std::string HexBytes(const HexView& hex) {
  return hex.Data().ToString();
}

class ViewSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};
    Cfg().EffOtstupX = Cfg().EffOtstupY = 0;
    canvas.SetCharWidth('W', 19);  // a code wider than the others: no wide steps
  }
  std::unique_ptr<TextView> NewText() {
    auto view = std::make_unique<TextView>(&canvas);
    view->SetViewWidth(300);
    view->SetViewHeight(200);
    view->ToggleWordWrap(true);
    return view;
  }
  void Append(ViewBase& view, std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); i += 8192) {
      const std::string_view block = bytes.substr(i, 8192);
      view.AppendBytes(reinterpret_cast<const uint8_t*>(block.data()),
                       static_cast<int>(block.size()));
    }
  }
  std::unique_ptr<HexView> ToHex(TextView& text) {
    auto hex = std::make_unique<HexView>(&canvas);
    hex->ExpectLength(text.GetTextLength());
    text.CopyContentTo(*hex);
    return hex;
  }
  std::unique_ptr<TextView> ToText(HexView& hex) {
    auto text = NewText();
    text->ExpectLength(hex.GetTextLength());
    hex.CopyContentTo(*text);
    return text;
  }
  // Rows, their widths and the widest width are those of a direct load.
  void ExpectSameLayout(TextView& got, TextView& direct) {
    ASSERT_EQ(got.LastRow(), direct.LastRow());
    for (int r = 0; r <= direct.LastRow(); ++r) {
      ASSERT_EQ(got.GetRow(r), direct.GetRow(r)) << "row " << r;
      ASSERT_EQ(got.RowWidth(r), direct.RowWidth(r)) << "row " << r;
    }
    EXPECT_EQ(got.GetDocumentWidth(), direct.GetDocumentWidth());
  }
  TestCanvas canvas;
};

// Over a megabyte, so the rows lie in several arena chunks and go over in
// several pieces.
TEST_F(ViewSwitchTest, TextToHexAndBackKeepsBytesAndLayout) {
  for (const bool wide : {false, true}) {
    if (wide) canvas.SetCharWidth('W', 8);  // every code one width: the wide steps run
    const std::string text = MixedText((size_t(5) << 20) / 2);
    auto direct = NewText();
    Append(*direct, text);
    auto hex = ToHex(*direct);
    EXPECT_EQ(HexBytes(*hex), text);
    auto back = ToText(*hex);
    ExpectSameLayout(*back, *direct);
  }
}

// Edited rows own their bytes apart from the loaded ones; a display table
// other than the identity gives the file bytes back through its inverse.
TEST_F(ViewSwitchTest, EditedRowsAndDisplayTablesGiveTheFileBytes) {
  std::string text = MixedText(200000);
  auto view = NewText();
  Append(*view, text);
  auto typeAt = [&](int col, int row, char c) {
    const size_t offset = static_cast<size_t>(view->PosToOffset(col, row));
    view->SetPosition(col, row, true);
    view->SetPosition(col, row, false);
    view->TypeChar(static_cast<uint8_t>(c));
    text = text.substr(0, offset) + c + text.substr(offset);
  };
  typeAt(2, view->LastRow() / 2, 'Q');
  typeAt(0, 1, 'Z');
  EXPECT_EQ(HexBytes(*ToHex(*view)), text);

  CodeTable reversed;
  for (int i = 0; i < 256; ++i) reversed[i] = static_cast<uint8_t>(255 - i);
  view->SetCharTable(reversed);
  EXPECT_EQ(HexBytes(*ToHex(*view)), text);
}

// A large hex document goes to the text view in steps from the hex view's
// bytes: whatever the steps and the display table, the text view ends as a
// switch in one go leaves it. Random bytes take the layout's slow paths.
TEST_F(ViewSwitchTest, HexBytesCopiedInStepsAreLaidOutAsAWholeSwitch) {
  std::string binary(300000, '\0');
  unsigned seed = 11;
  for (char& c : binary) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 23);
  }
  for (const std::string& bytes : {binary, MixedText(300000)}) {
    HexView hex(&canvas);
    hex.SetBytes(bytes);
    hex.InCodes = false;  // a byte typed and taken back leaves the bytes split in the middle
    hex.MoveCursorToByte(static_cast<int>(bytes.size() / 2));
    hex.InsertText("x", true, true);
    hex.Backspace();
    ASSERT_EQ(hex.Data().Front().size(), bytes.size() / 2);
    for (const CodeTable* table : {&WindowsTable(), &DosTable()}) {
      auto whole = ToText(hex);
      whole->SetCharTable(*table);
      for (const size_t step : {size_t(1), size_t(7), size_t(8192), size_t(65537), SIZE_MAX}) {
        SCOPED_TRACE("step " + std::to_string(step));
        auto stepped = NewText();
        stepped->SetCharTable(*table);
        const size_t count = step == 1 ? 20000 : bytes.size();  // a byte at a time: a part
        const auto load = count < bytes.size()
                              ? stepped->BeginCopy(hex.Data().Front().first(count))
                              : stepped->BeginCopy(hex.Data().Front(), hex.Data().Back());
        EXPECT_EQ(load->Total(), static_cast<int64_t>(count));
        while (!load->Step(step)) ASSERT_LE(load->Done(), static_cast<int64_t>(count));
        EXPECT_EQ(load->Done(), static_cast<int64_t>(count));
        if (step == 1) {
          auto part = NewText();
          Append(*part, bytes.substr(0, count));
          part->SetCharTable(*table);
          ExpectSameLayout(*stepped, *part);
          continue;
        }
        ExpectSameLayout(*stepped, *whole);
        EXPECT_EQ(HexBytes(*ToHex(*stepped)), bytes);
      }
    }
  }
}

TEST_F(ViewSwitchTest, EmptyDocumentsStayEmpty) {
  auto text = NewText();
  auto hex = ToHex(*text);
  EXPECT_TRUE(hex->Data().empty());
  auto back = ToText(*hex);
  EXPECT_EQ(back->LastRow(), 0);
  EXPECT_EQ(back->GetRow(0), "");
}

// Positions in the hex view: every row but the last holds HexColumns bytes.
TEST_F(ViewSwitchTest, HexOffsetsBecomePositionsFromTheGivenRow) {
  HexView hex(&canvas);
  hex.SetBytes(std::string(35, 'x'));  // 16 columns: rows of 16, 16 and 3
  auto pos = [&](int offset, int fromRow) {
    int col = offset, row = fromRow;
    hex.OffsetToPos(col, row);
    return std::pair{col, row};
  };
  EXPECT_EQ(pos(0, 0), std::pair(0, 0));
  EXPECT_EQ(pos(15, 0), std::pair(15, 0));
  EXPECT_EQ(pos(16, 0), std::pair(0, 1));
  EXPECT_EQ(pos(35, 0), std::pair(3, 2));   // the end of the document
  EXPECT_EQ(pos(99, 0), std::pair(67, 2));  // past it: the last row takes the rest
  EXPECT_EQ(pos(20, 1), std::pair(4, 2));   // counted from row 1
  EXPECT_EQ(pos(-3, 1), std::pair(-3, 1));
  EXPECT_EQ(pos(5, 9), std::pair(5, 2));  // a row past the end is the last one
  hex.SetBytes(std::string(32, 'x'));     // the last row is empty
  EXPECT_EQ(pos(32, 0), std::pair(0, 2));
  for (int off = 0; off <= 32; ++off) {
    const auto [c, r] = pos(off, 0);
    EXPECT_EQ(hex.PosToOffset(c, r), off);
  }
}

}  // namespace
}  // namespace prambus
