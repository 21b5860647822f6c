// Cursor movement of the text view across wrapped rows and line ends.
#include "support/text_view_fixture.h"

namespace prambus {
namespace {

TEST_F(TextViewTest, UpFromTheFirstRowMovesNothing) {
  Load("abc\r\ndef");
  view->SetPosition(1, 0, false);
  view->SetPosition(3, 0, true);
  int desired = -1;
  view->MoveUp(false, true, desired);
  EXPECT_EQ(view->AnchorColumn(), 1);  // Shift keeps the selection
  EXPECT_EQ(view->CursorColumn(), 3);
  view->MoveUp(false, false, desired);
  EXPECT_FALSE(view->HasSelection());  // without Shift it collapses
  EXPECT_EQ(view->CursorColumn(), 3);
}

TEST_F(TextViewTest, VerticalMovesKeepTheirPixelColumnThroughShortRows) {
  Load("abcdefgh\r\nab\r\nabcdefgh");
  Cursor(6, 0);
  int desired = -1;
  view->MoveDown(false, false, desired);
  EXPECT_EQ(view->CursorRow(), 1);
  EXPECT_EQ(view->CursorColumn(), 2);  // before the line end of the short row
  view->MoveDown(false, false, desired);
  EXPECT_EQ(view->CursorColumn(), 6);
  EXPECT_EQ(desired, 48);
  // A column that falls on the line end, even nearer its right side, stays
  // before it.
  for (const int col : {3, 4}) {
    Cursor(col, 0);
    desired = -1;
    view->MoveDown(false, false, desired);
    EXPECT_EQ(view->CursorRow(), 1);
    EXPECT_EQ(view->CursorColumn(), 2) << col;
  }
}

// In a short row the pixel column goes to the nearer character boundary,
// also when the next thing in the row is its line end.
TEST_F(TextViewTest, AVerticalMoveIntoAShortRowTakesTheNearerBoundary) {
  canvas.SetCharWidth('x', 11);
  Load("x\r\nab\r\n");
  Cursor(1, 0);  // x = 11: 3 pixels past "a", 5 before the end of "b"
  int desired = -1;
  view->MoveDown(false, false, desired);
  EXPECT_EQ(view->CursorRow(), 1);
  EXPECT_EQ(view->CursorColumn(), 1);
}

// A blank that hangs past the right edge at a row's end is no reason to
// scroll when the caret stands after it; a letter there is.
TEST_F(TextViewTest, TheCaretAfterAHangingBlankDoesNotScroll) {
  Load(std::string(25, 'a') + " b", 200);  // 25 letters fill the 200 pixels
  ASSERT_EQ(Rows(), (RowList{std::string(25, 'a') + " ", "b"}));
  Cursor(26, 0);
  EXPECT_EQ(view->ScrollX(), 0);
  Load(std::string(26, 'a'), 400);
  Cursor(26, 0);
  EXPECT_GT(view->ScrollX(), 0);
}

TEST_F(TextViewTest, UpKeepsThePixelColumnAndRightStepsOneCharacter) {
  Load("abcdefgh\r\nab\r\nabcdefgh");
  Cursor(6, 2);
  int desired = -1;
  view->MoveUp(false, false, desired);
  EXPECT_EQ(view->CursorRow(), 1);
  EXPECT_EQ(view->CursorColumn(), 2);  // before the line end of the short row
  view->MoveUp(false, false, desired);
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_EQ(view->CursorColumn(), 6);
  EXPECT_EQ(desired, 48);
  // Right moves within a row that has rows after it, then over its line end.
  Cursor(0, 1);
  view->MoveRight(false, false);
  EXPECT_EQ(view->CursorRow(), 1);
  EXPECT_EQ(view->CursorColumn(), 1);
  view->MoveRight(false, false);
  view->MoveRight(false, false);
  EXPECT_EQ(view->CursorRow(), 2);
  EXPECT_EQ(view->CursorColumn(), 0);
}

TEST_F(TextViewTest, WordMovesStopAtLineEndsAndClassChanges) {
  Load("one two\r\nthree");
  Cursor(0, 1);
  view->MoveLeft(true, false);
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_EQ(view->CursorColumn(), 7);  // before the line end
  view->MoveLeft(true, false);
  EXPECT_EQ(view->CursorColumn(), 4);  // the start of "two"
  Load("word, next");
  Cursor(0, 0);
  view->MoveRight(true, false);
  EXPECT_EQ(view->CursorColumn(), 4);  // before the comma
  view->MoveRight(true, false);
  EXPECT_EQ(view->CursorColumn(), 6);  // the comma and the blank are skipped
}

TEST_F(TextViewTest, MovesCrossWrappedRowsWithoutDoubleStops) {
  Load(std::string(25, 'a') + std::string(10, 'b'), 200);  // wrapped inside the word
  Cursor(24, 0);
  view->MoveRight(false, false);  // before the last character of a wrapped row
  EXPECT_EQ(view->CursorRow(), 1);
  EXPECT_EQ(view->CursorColumn(), 0);
  view->MoveLeft(false, false);
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_EQ(view->CursorColumn(), 24);
  Cursor(3, 0);
  view->MoveLeft(true, false);
  EXPECT_EQ(view->CursorColumn(), 0);
  Cursor(3, 1);
  view->MoveLeft(true, false);  // the word continues on the row above
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_EQ(view->CursorColumn(), 0);
  Load(std::string(25, 'a') + "bbb\r\nc", 200);  // the word's last row ends its line
  Cursor(3, 1);
  view->MoveLeft(true, false);
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_EQ(view->CursorColumn(), 0);
  Load("x\r\n" + std::string(25, 'a') + "bbb", 200);  // a wrapped word after a line end
  Cursor(3, 2);
  view->MoveLeft(true, false);
  EXPECT_EQ(view->CursorRow(), 1);
  EXPECT_EQ(view->CursorColumn(), 0);
}

TEST_F(TextViewTest, HardLineMovesAndHomeEnd) {
  Load("first\r\n" + std::string(30, 'x') + " tail\r\nlast", 200);
  Cursor(2, 2);  // on the wrapped part of the long line
  int desired = -1;
  view->MoveUp(true, false, desired);
  EXPECT_EQ(view->CursorRow(), 1);  // the first row of the hard line
  desired = -1;
  view->MoveDown(true, false, desired);
  EXPECT_EQ(view->CursorRow(), 3);  // the first row of the next hard line
  Cursor(1, 0);
  view->MoveEnd(false);
  EXPECT_EQ(view->CursorColumn(), 5);
  view->MoveHome(true);
  EXPECT_EQ(view->GetSelectedText(), "first");
}

TEST_F(TextViewTest, PageDownMovesByTheFractionOfTheView) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "r\r\n";
  Load(text, 1000);
  view->SetViewHeight(200);
  Cursor(0, 0);
  int desired = -1;
  view->PageDown(false, desired);
  EXPECT_EQ(view->CursorRow(), 10);
  view->PageUp(true, desired);
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_TRUE(view->HasSelection());
}

TEST_F(TextViewTest, ClickRightOfALineEndPlacesTheCursorBeforeIt) {
  Load("abc\r\ndef");
  view->MoveToPoint(500, 3, true, false);
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_EQ(view->CursorColumn(), 3);
  view->MoveToPoint(13, 20, true, false);  // nearer to the boundary after 'e'
  EXPECT_EQ(view->CursorRow(), 1);
  EXPECT_EQ(view->CursorColumn(), 2);
  view->MoveToPoint(3, 20, false, true);
  EXPECT_EQ(view->CursorColumn(), 0);
  EXPECT_TRUE(view->HasSelection());
}

}  // namespace
}  // namespace prambus
