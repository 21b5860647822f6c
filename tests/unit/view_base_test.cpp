// The view base operations as the text view inherits them: sizes, positions,
// offsets, selection, word selection and the paragraph text.
#include "support/text_view_fixture.h"
#include "views/view_factory.h"

namespace prambus {
namespace {

TEST_F(TextViewTest, ViewSizesIgnoreImpossibleValues) {
  view->SetViewHeight(0);
  view->SetViewWidth(-1);
  EXPECT_EQ(view->ViewHeight(), 160);
  EXPECT_EQ(view->ViewWidth(), 200);
  view->SetViewWidth(0);
  EXPECT_EQ(view->ViewWidth(), 0);
}

TEST_F(TextViewTest, SetPositionClampsAndStepsBackOverLineEnds) {
  Load("ab\r\ncd");
  view->SetPosition(-5, 99, true);
  EXPECT_EQ(view->CursorRow(), 1);
  EXPECT_EQ(view->CursorColumn(), 0);
  view->SetPosition(4, 0, true);  // after the line end: stepped back before it
  EXPECT_EQ(view->CursorColumn(), 2);
  view->SetPosition(3, 0, false);  // between CR and LF
  EXPECT_EQ(view->AnchorColumn(), 2);
}

TEST_F(TextViewTest, OffsetsMapToPositionsAtRowStarts) {
  Load("ab\r\ncd\r\nef");
  int col = 4, row = 0;
  view->OffsetToPos(col, row);  // the length of row 0: start of row 1
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 0);
  col = 10, row = 0;
  view->OffsetToPos(col, row);  // the end of the last row stays there
  EXPECT_EQ(row, 2);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(view->PosToOffset(1, 2), 9);
  EXPECT_EQ(view->PosToOffset(0, 1), 4);
  // The cache is used in both directions and gives the same answers.
  for (int off = 10; off >= 0; --off) {
    int c = off, r = 0;
    view->OffsetToPos(c, r);
    EXPECT_EQ(view->PosToOffset(c, r), off);
  }
}

TEST_F(TextViewTest, SelectAllAndSelectedText) {
  Load("");
  view->SelectAll();
  EXPECT_FALSE(view->HasSelection());
  Load("ab\r\ncd\r\nef");
  view->SelectAll();
  EXPECT_EQ(view->GetSelectedText(), "ab\r\ncd\r\nef");
  view->SetPosition(1, 0, false);
  view->SetPosition(1, 2, true);
  EXPECT_EQ(view->GetSelectedText(), "b\r\ncd\r\ne");
  view->SetPosition(1, 2, false);
  view->SetPosition(1, 0, true);  // reversed ends give the same text
  EXPECT_EQ(view->GetSelectedText(), "b\r\ncd\r\ne");
}

TEST_F(TextViewTest, SelectWordTakesRunsOfOneClassAcrossWrappedRows) {
  Load("hello   world\r\n");
  Cursor(6, 0);  // on a blank
  view->SelectWord();
  EXPECT_EQ(view->GetSelectedText(), "   ");
  Cursor(13, 0);  // on the line end
  view->SelectWord();
  EXPECT_FALSE(view->HasSelection());
  Load(std::string(30, 'w') + " x", 200);  // the word wraps over two rows
  Cursor(2, 1);
  view->SelectWord();
  EXPECT_EQ(view->GetSelectedText(), std::string(30, 'w'));
}

TEST_F(TextViewTest, ParagraphTextSpansTheWrappedRowsOfTheHardLine) {
  Load("first\r\n" + std::string(30, 'a') + " tail\r\nlast", 200);
  Cursor(0, 2);
  EXPECT_EQ(view->GetParagraphText(), std::string(30, 'a') + " tail\r\n");
}

TEST_F(TextViewTest, BackspaceAtTheStartRecordsNothing) {
  Load("abc");
  Cursor(0, 0);
  EXPECT_FALSE(view->Backspace());
  EXPECT_FALSE(view->CanUndo());
}

TEST_F(TextViewTest, PluginPassesSeeAndRewriteTheRows) {
  Load("one\r\ntwo\r\n");
  std::vector<std::string> seen;
  view->ForEachRow([&](int len, const uint8_t* data, bool* stop) {
    seen.emplace_back(reinterpret_cast<const char*>(data), len);
    if (seen.size() == 2) *stop = true;
  });
  EXPECT_EQ(seen, (RowList{"one\r\n", "two\r\n"}));
  const std::string replacement = "ONE\r\n";
  view->TransformRows([&](int* len, const uint8_t** data, bool* last) {
    *data = reinterpret_cast<const uint8_t*>(replacement.data());
    *len = static_cast<int>(replacement.size());
    *last = true;  // stop after the first row
  });
  EXPECT_EQ(Text(), "ONE\r\ntwo\r\n");
  EXPECT_FALSE(view->CanUndo());
  // The pass is told which row is the last one.
  std::string lastFlags;
  view->TransformRows([&](int*, const uint8_t**, bool* last) { lastFlags += *last ? '1' : '0'; });
  EXPECT_EQ(lastFlags, std::string(static_cast<size_t>(view->LastRow()), '0') + "1");
}

TEST(ViewFactoryTest, HasViewKindAnswersExactlyForTheKindsMakeViewBuilds) {
  TestCanvas canvas;
  for (int kind = -1; kind <= 4; ++kind)
    EXPECT_EQ(HasViewKind(kind), MakeView(kind, &canvas) != nullptr) << kind;
}

}  // namespace
}  // namespace prambus
