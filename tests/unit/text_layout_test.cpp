// Layout of the text view: line ends, wrapping rules, blocks, reflow and
// relayout.
#include <random>

#include "support/text_view_fixture.h"
#include "views/char_class.h"

namespace prambus {
namespace {

TEST_F(TextViewTest, LineEndsStayAtTheEndOfTheirRow) {
  Load("ab\r\ncd");
  EXPECT_EQ(Rows(), (RowList{"ab\r\n", "cd"}));
  Load("ab\n\r\n");
  EXPECT_EQ(Rows(), (RowList{"ab\n\r", "\n", ""}));
  Load("\r\r");
  EXPECT_EQ(Rows(), (RowList{"\r", "\r", ""}));
  Load("");
  EXPECT_EQ(Rows(), (RowList{""}));
  // A row outside the document reads as empty, on either side.
  Load("ab\r\ncd");
  EXPECT_EQ(view->GetRow(-1), "");
  EXPECT_EQ(view->GetRow(1000000), "");
}

TEST_F(TextViewTest, LineEndPairIsJoinedAcrossBlocks) {
  Load("ab\r\ncd", 200, 3);  // blocks "ab\r" and "\ncd"
  EXPECT_EQ(Rows(), (RowList{"ab\r\n", "cd"}));
  Load("x\n\ry", 200, 2);
  EXPECT_EQ(Rows(), (RowList{"x\n\r", "y"}));
}

TEST_F(TextViewTest, OverflowingBlankHangsAtTheEndOfItsRow) {
  // 25 characters of 8 px fit into 200 px.
  Load("aaaaaaaaaaaaaaaaaaaaaaaa bbbb");  // 24 a's, blank at 192..200 fits
  EXPECT_EQ(Rows(), (RowList{"aaaaaaaaaaaaaaaaaaaaaaaa ", "bbbb"}));
  Load("aaaaaaaaaaaaaaaaaaaaaaaaa bbbb");  // the blank overflows and hangs
  EXPECT_EQ(Rows(), (RowList{"aaaaaaaaaaaaaaaaaaaaaaaaa ", "bbbb"}));
  EXPECT_EQ(view->RowWidth(0), 200);  // the hanging blank is not counted
}

TEST_F(TextViewTest, WordsWrapAtTheLastBreakAndLongWordsAreCut) {
  Load("aaaaaaaaaaaaaaaaaaaa bbbbbbbbbb");  // 20 a's: the break leaves the row 80% full
  EXPECT_EQ(Rows(), (RowList{"aaaaaaaaaaaaaaaaaaaa ", "bbbbbbbbbb"}));
  Load("aaa bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");  // break at 32 px < 66%: cut inside the word
  ASSERT_EQ(view->LastRow(), 1);
  EXPECT_EQ(Rows()[0].size(), 25u);
  EXPECT_EQ(Text(), "aaa bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");
  Load(std::string(60, 'x'));
  EXPECT_EQ(Rows(), (RowList{std::string(25, 'x'), std::string(25, 'x'), std::string(10, 'x')}));
}

TEST_F(TextViewTest, PunctuationAndBracketsChooseTheirSideOfTheBreak) {
  // Closing punctuation that does not fit moves with its word.
  Load("aaaaaaaaaaaaaaaaaaaa bbbb,");  // 20+1+4 = 25 fit; the comma does not
  EXPECT_EQ(Rows(), (RowList{"aaaaaaaaaaaaaaaaaaaa ", "bbbb,"}));
  // An opening bracket starts the next row when the break falls before it.
  Load("aaaaaaaaaaaaaaaaaaaaaa(bbb)");
  EXPECT_EQ(Rows(), (RowList{"aaaaaaaaaaaaaaaaaaaaaa", "(bbb)"}));
  // There it still offers the break after it, as in a layout begun at that
  // row: an edit further on, laid out again from the row, gives the same rows.
  Load("x,,,,x,ab", 24);
  EXPECT_EQ(Rows(), (RowList{"x,,", ",,", "x,", "ab"}));
  Cursor(2, 3);
  view->InsertText("c", true, true);
  EXPECT_EQ(Rows(), (RowList{"x,,", ",,", "x,", "abc"}));
  view->SetUtf8(true);
  Load("\xD0,,,,\xD0,aσB", 24);  // cut sequences as characters of their own
  Cursor(3, 3);
  view->InsertText("\xF0\x9F\x98\x80", true, true);
  const RowList edited = Rows();
  Load(Text(), 24);
  EXPECT_EQ(edited, Rows());
}

// A tab's width depends on where its row began, so a row laid out again
// after an edit before it can come out wider with the same bytes: the
// document's width follows it.
TEST_F(TextViewTest, DocumentWidthFollowsATabRowWidenedByAnEditBeforeIt) {
  Load("a,a-abbc\ta\taa\t\tb", 127, 3);
  view->GetDocumentWidth();
  Cursor(3, 0);
  Type("b");
  int widest = 0;
  for (int r = 0; r <= view->LastRow(); ++r) widest = std::max(widest, view->RowWidth(r));
  EXPECT_EQ(view->GetDocumentWidth(), widest);
}

// An edit that adds a row moves the rows after it down with their widths.
TEST_F(TextViewTest, RowsMovedByAnEditKeepTheirWidths) {
  Load("aaaa\r\nb\r\ncc\r\nddd\r\neeee\r\nf", 200);
  Cursor(4, 0);
  Type(std::string(30, 'x'));  // line 0 now takes two rows
  TestCanvas freshCanvas;
  TextView fresh(&freshCanvas);
  fresh.WrapWidth = 200;
  fresh.AppendString(Text());
  ASSERT_EQ(view->LastRow(), fresh.LastRow());
  for (int r = 0; r <= view->LastRow(); ++r) EXPECT_EQ(view->RowWidth(r), fresh.RowWidth(r)) << r;
}

TEST_F(TextViewTest, CharacterWiderThanTheWrapWidthGetsItsOwnRow) {
  canvas.SetCharWidth('W', 300);
  view = std::make_unique<TextView>(&canvas);
  Load("aWb");
  EXPECT_EQ(Rows(), (RowList{"a", "W", "b"}));
}

TEST_F(TextViewTest, BreakOpportunityInAnEarlierBlockMovesTheTail) {
  const std::string text = "aaaaaaaaaaaaaaaaaaaa bbbbbbbbbbbbbb";
  for (size_t block = 1; block <= text.size(); ++block) {
    Load(text, 200, block);
    EXPECT_EQ(Rows(), (RowList{"aaaaaaaaaaaaaaaaaaaa ", "bbbbbbbbbbbbbb"})) << "block " << block;
  }
}

TEST_F(TextViewTest, TabsAdvanceToTabStopsAndShowAsGlyphs) {
  Load("a\tb", 1000);
  view->SetCursorColumn(2);
  EXPECT_EQ(view->GetCaretPoint().x, 64);  // tab stop at 8 spaces = 64 px
  view->ToggleNonPrinting(true);
  view->SetCursorColumn(2);
  EXPECT_EQ(view->GetCaretPoint().x, 16);  // the tab is one glyph wide
  view->ToggleNonPrinting(false);
  view->SetCursorColumn(2);
  EXPECT_EQ(view->GetCaretPoint().x, 64);
}

// The row arrays grow by the step set, up to 2^20 rows whatever the setting
// says: the largest accepted step would otherwise reserve gigabytes.
TEST_F(TextViewTest, TheLargestGrowthStepIsCapped) {
  Cfg().Shag = 2147483646;
  view = std::make_unique<TextView>(&canvas);
  Load("a\r\nb", 1000);
  EXPECT_EQ(Text(), "a\r\nb");
  EXPECT_EQ(view->MemoryUse().rowsUsed, (size_t(1) << 20) * sizeof(RowText));
}

// A font whose blank measures nothing makes tabs take no room: the row
// goes on after them instead of failing on a stop of no width.
TEST_F(TextViewTest, TabsOfAZeroWidthBlankTakeNoRoom) {
  canvas.SetCharWidth(' ', 0);
  view = std::make_unique<TextView>(&canvas);  // measures its tab from the blank
  view->SetViewWidth(200);
  Load("a\tb\t\tc", 1000);
  EXPECT_EQ(Rows(), (RowList{"a\tb\t\tc"}));
  EXPECT_EQ(view->RowWidth(0), 24);
}

// A tab wraps by what it advanced on its row: a row too empty to break
// before the word breaks before the tab, wide as what stands before it; the
// tab starts the next row at a full stop. A tab beginning a row it does not
// fit hangs there and lends the next row none of its width.
TEST_F(TextViewTest, RowsBrokenAtATabTakeTheWidthsOnEachSide) {
  auto widths = [&] {
    std::vector<int> w;
    for (int r = 0; r <= view->LastRow(); ++r) w.push_back(view->RowWidth(r));
    return w;
  };
  for (size_t block : {size_t(1), size_t(64)}) {
    Load("0D\tF", 25, block);
    EXPECT_EQ(Rows(), (RowList{"0D", "\t", "F"})) << block;
    EXPECT_EQ(widths(), (std::vector<int>{16, 64, 8})) << block;
    Load("\tab", 0, block);  // no width at all: a character a row
    EXPECT_EQ(Rows(), (RowList{"\t", "a", "b"})) << block;
    EXPECT_EQ(widths(), (std::vector<int>{0, 8, 8})) << block;
  }
}

TEST_F(TextViewTest, FontWithUnchangedWidthsDoesNotRelayout) {
  Load("abc def", 200);
  view->SetCursorColumn(3);
  Font f = canvas.GetFont();
  f.color = 0x123456;
  view->SetFont(f);
  EXPECT_EQ(view->CursorColumn(), 3);
  canvas.SetAllWidths(50);
  view->SetFont(f);  // wider characters: the rows wrap anew
  EXPECT_EQ(Rows(), (RowList{"abc ", "def"}));
}

// Every code counts, the last one (я) too: a font that widens only it lays
// the rows out anew, and a wrap width narrower than it is refused.
TEST_F(TextViewTest, AFontOrAWrapWidthSeesEveryCode) {
  const std::string ya = "\xFF\xFF\xFF \xFF\xFF\xFF";
  Load(ya, 200);
  EXPECT_EQ(view->LastRow(), 0);
  canvas.SetCharWidth(0xFF, 50);
  view->SetFont(canvas.GetFont());
  EXPECT_EQ(Rows(), (RowList{"\xFF\xFF\xFF ", "\xFF\xFF\xFF"}));
  view->SetWrapWidth(49);
  EXPECT_EQ(view->WrapWidth, 200);
  view->SetWrapWidth(50);
  EXPECT_EQ(view->WrapWidth, 50);
}

// A new layout keeps the cursor and the selection on their characters, on
// rows that end a line and on wrapped ones.
TEST_F(TextViewTest, ARelayoutKeepsCursorAndSelection) {
  for (const auto& [cursorAt, anchorAt] : {std::pair{5, 22}, std::pair{22, 5}, std::pair{12, 12}}) {
    Load("one two\r\nthree four five\r\nsix", 200);
    for (const bool cursor : {false, true}) {
      int col = cursor ? cursorAt : anchorAt, row = 0;
      view->OffsetToPos(col, row);
      view->SetPosition(col, row, cursor);
    }
    const std::string selected = view->GetSelectedText();
    view->WrapWidth = 48;
    view->Relayout();
    ASSERT_GT(view->LastRow(), 3);
    EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), cursorAt);
    EXPECT_EQ(view->PosToOffset(view->AnchorColumn(), view->AnchorRow()), anchorAt);
    EXPECT_EQ(view->GetSelectedText(), selected);
  }
}

TEST_F(TextViewTest, WordWrapFollowsTheViewWidth) {
  Load(std::string(30, 'x') + " " + std::string(30, 'y'), 200);
  view->SetViewWidth(1000);
  view->ToggleWordWrap(true);
  EXPECT_EQ(view->LastRow(), 0);
  view->ToggleWordWrap(false);
  EXPECT_EQ(view->WrapWidth, Cfg().MaxTextWidth);
  view->SetViewWidth(120);
  view->ToggleWordWrap(true);
  EXPECT_EQ(Text(), std::string(30, 'x') + " " + std::string(30, 'y'));
  for (int r = 0; r <= view->LastRow(); ++r) EXPECT_LE(view->RowWidth(r), 120);
}

// With word wrap off a row can be wider than 65535 px: its width survives
// loading, rows moving around it and typing in it.
TEST_F(TextViewTest, RowsWiderThanSixteenBitsKeepTheirWidths) {
  const std::string wide(9000, 'x');  // 72000 px
  Load("ab\n" + wide + "\ncd\n", 100000);
  ASSERT_EQ(view->LastRow(), 3);
  EXPECT_EQ(view->RowWidth(0), 16);
  EXPECT_EQ(view->RowWidth(1), 72000);
  EXPECT_EQ(view->GetDocumentWidth(), 72000);
  Cursor(0, 0);
  view->DeleteLine(true);  // the rows after it move up
  EXPECT_EQ(Text(), wide + "\ncd\n");
  EXPECT_EQ(view->RowWidth(0), 72000);
  EXPECT_EQ(view->RowWidth(1), 16);
  Cursor(5, 0);
  Type("yy");
  EXPECT_EQ(view->RowWidth(0), 72016);
  EXPECT_EQ(view->GetDocumentWidth(), 72016);
  view->SetViewWidth(200);
  view->ToggleWordWrap(true);
  ExpectRowInvariants("xxxxxyy" + std::string(8995, 'x') + "\ncd\n");
  EXPECT_EQ(view->GetDocumentWidth(), 200);
}

// A new layout of a document of many arena chunks, with edited rows, rows
// too long to pack and the cursor in the middle, gives back the old chunks
// as it goes and keeps every byte.
TEST_F(TextViewTest, RelayoutOfALargeEditedDocumentKeepsItsText) {
  std::string text;
  for (int i = 0; text.size() < 3000000; ++i)
    text += i % 500 == 7 ? std::string(70000, 'w') + "\r\n" : "word " + std::to_string(i) + "\n";
  Load(text, 200, 8192);
  const int at = view->PosToOffset(3, 1000);
  Cursor(3, 1000);
  Type("EDIT");
  text.insert(static_cast<size_t>(at), "EDIT");
  ASSERT_EQ(Text(), text);
  view->SetViewWidth(120);
  view->ToggleWordWrap(true);
  ExpectRowInvariants(text);
  EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), at + 4);
  view->ToggleWordWrap(false);
  ExpectRowInvariants(text);
  Cursor(0, view->LastRow());  // the empty row after the final line end
  Type("!");
  view->SetViewWidth(200);
  view->ToggleWordWrap(true);
  ExpectRowInvariants(text + "!");
}

TEST_F(TextViewTest, RelayoutKeepsCursorAndAnchorOnTheirCharacters) {
  Load("one two three four five six seven eight nine ten", 80);
  int col = 30, row = 0;
  view->OffsetToPos(col, row);
  view->SetPosition(col, row, true);
  int acol = 9, arow = 0;
  view->OffsetToPos(acol, arow);
  view->SetPosition(acol, arow, false);
  view->SetViewWidth(150);
  view->ToggleWordWrap(true);
  EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), 30);
  EXPECT_EQ(view->PosToOffset(view->AnchorColumn(), view->AnchorRow()), 9);
}

TEST_F(TextViewTest, RowArraysGrowInStepsOfShag) {
  Cfg().Shag = 4;
  view = std::make_unique<TextView>(&canvas);
  EXPECT_EQ(view->RowArraySize(), 4u);
  Load("1\n2\n3\n4\n5\n", 200);
  EXPECT_EQ(view->LastRow(), 5);
  EXPECT_EQ(view->RowArraySize(), 8u);
}

TEST_F(TextViewTest, EveryByteValueLaysOutAndRoundTrips) {
  std::string all;
  for (int rep = 0; rep < 3; ++rep)
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  for (size_t block : {size_t(7), size_t(100), size_t(8192)}) {
    Load(all, 200, block);
    EXPECT_EQ(Text(), all);
    for (int r = 0; r < view->LastRow(); ++r) {
      std::string_view row = view->GetRow(r);
      for (size_t i = 0; i + 1 < row.size(); ++i) {
        if (IsLineEnd(static_cast<uint8_t>(row[i]))) {
          EXPECT_TRUE(IsLineEnd(static_cast<uint8_t>(row[i + 1]))) << "row " << r;
        }
      }
    }
  }
}

// The rows and their widths never depend on how the text arrives: one block,
// single bytes or anything between, at any wrap width down to 0 (a text area
// with no room at all, where every character gets a row of its own).
TEST_F(TextViewTest, BlockSizeNeverChangesTheLayout) {
  Load("aa", 0, 1);
  EXPECT_EQ(Rows(), (RowList{"a", "a"}));
  EXPECT_EQ(view->RowWidth(0), 8);
  EXPECT_EQ(view->RowWidth(1), 8);
  std::mt19937 rng(3);
  const std::string alphabet = "ab c,(x)\t\r\n.-\xE0";
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int n = rng() % 120;
    for (int i = 0; i < n; ++i) text += alphabet[rng() % alphabet.size()];
    const int wrap = round % 4 == 0 ? 0 : round % 4 == 1 ? -10 : static_cast<int>(rng() % 100);
    Load(text, wrap);
    const RowList whole = Rows();
    std::vector<int> widths;
    for (int r = 0; r <= view->LastRow(); ++r) widths.push_back(view->RowWidth(r));
    for (size_t block : {size_t(1), size_t(2), size_t(1 + rng() % 20)}) {
      Load(text, wrap, block);
      ASSERT_EQ(Rows(), whole) << "round " << round << " wrap " << wrap << " block " << block;
      for (int r = 0; r <= view->LastRow(); ++r)
        ASSERT_EQ(view->RowWidth(r), widths[r]) << "round " << round << " row " << r;
    }
  }
}

// Runs of equally wide characters take sixteen bytes per step; the rows are
// the ones the byte-by-byte path gives.
TEST_F(TextViewTest, WideStepsLayOutLikeSingleBytes) {
  std::mt19937 rng(11);
  const std::string alphabet = "abcXYZ019 \xE0\xC0\xFF  ,.\t\r\n()";
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int n = rng() % 3000;
    for (int i = 0; i < n; ++i) text += alphabet[rng() % alphabet.size()];
    const int wrap = 40 + rng() % 400;
    const size_t block = 1 + rng() % 200;
    Load(text, wrap, block);
    const RowList fast = Rows();
    view->AllowWideSteps(false);
    Load(text, wrap, block);
    EXPECT_EQ(Rows(), fast) << "round " << round;
    view->AllowWideSteps(true);
    if (HasFailure()) return;
  }
}

// Wide steps take every letter, digit and non-ASCII byte at one width: one of
// them measured otherwise, the first and last of each range included, keeps
// its own width in the rows.
TEST(WideSteps, AByteOfAnotherWidthKeepsItsOwnWidth) {
  for (const char odd : {'0', '9', 'A', 'Z', 'b', 'z', '\x80', '\xFF'}) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += std::string(20, 'c') + std::string(20, odd) + " ";
    std::vector<RowList> layouts;
    std::vector<std::vector<int>> widths;
    for (const bool wide : {true, false}) {
      TestCanvas canvas;
      canvas.SetCharWidth(static_cast<uint8_t>(odd), 11);
      TextView view(&canvas);
      view.AllowWideSteps(wide);
      view.WrapWidth = 300;
      view.AppendBytes(reinterpret_cast<const uint8_t*>(text.data()),
                       static_cast<int>(text.size()));
      layouts.emplace_back();
      widths.emplace_back();
      for (int r = 0; r <= view.LastRow(); ++r) {
        layouts.back().emplace_back(view.GetRow(r));
        widths.back().push_back(view.RowWidth(r));
      }
    }
    EXPECT_EQ(layouts[0], layouts[1]) << static_cast<int>(static_cast<uint8_t>(odd));
    EXPECT_EQ(widths[0], widths[1]) << static_cast<int>(static_cast<uint8_t>(odd));
  }
}

// After an edit the local reflow keeps every row invariant. (It need not give
// the rows a fresh layout would: a row that still fits keeps its break.)
TEST_F(TextViewTest, ReflowAfterEditsKeepsTheRowInvariants) {
  std::mt19937 rng(7);
  const std::string alphabet = "ab cd,ef(g)\r\n\t.-";
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int n = rng() % 200;
    for (int i = 0; i < n; ++i) text += alphabet[rng() % alphabet.size()];
    Load(text, 120);
    for (int step = 0; step < 5; ++step) {
      int col = text.empty() ? 0 : static_cast<int>(rng() % (text.size() + 1)), row = 0;
      view->OffsetToPos(col, row);
      Cursor(col, row);
      const int offset = view->PosToOffset(view->CursorColumn(), view->CursorRow());
      if (rng() % 3 == 0 && offset < static_cast<int>(text.size())) {
        std::string gone = view->GetAdjacentText(true);
        view->DeleteForward();
        text.erase(offset, gone.size());
      } else {
        const char typed = alphabet[rng() % alphabet.size()];
        if (typed == '\r' || typed == '\n') {
          view->TypeChar(static_cast<uint8_t>(typed));
          text = Text();  // line ends copy the style around them
        } else {
          view->TypeChar(static_cast<uint8_t>(typed));
          text.insert(offset, 1, typed);
        }
      }
      ExpectRowInvariants(text);
      if (HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace prambus
