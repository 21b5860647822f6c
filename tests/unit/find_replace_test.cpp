// Finding and replacing in the text view.
#include "shell/find_replace.h"

#include "support/text_view_fixture.h"

namespace prambus {
namespace {

int Find(TextView& v, const std::string& text, bool fromCursor, bool caseSensitive = false) {
  int limit = kNoLimit;
  if (!v.FindText(text, limit, fromCursor, caseSensitive)) return -1;
  return v.PosToOffset(v.CursorCol, v.CursorRow);
}

TEST_F(TextViewTest, FindSkipsTheMatchUnderTheCursorAndFoldsCyrillic) {
  Load("one two one two");
  EXPECT_EQ(Find(*view, "two", false), 4);
  EXPECT_EQ(view->GetSelectedText(), "two");
  EXPECT_EQ(Find(*view, "two", true), 12);
  EXPECT_EQ(Find(*view, "two", true), -1);
  Load("\xB8\xEB\xEA\xE0 \xA8\xCB\xCA\xC0");  // "ёлка ЁЛКА"
  view->SetPosition(1, 0, true);
  EXPECT_EQ(Find(*view, "\xB8\xEB\xEA\xE0", true), 5);
  EXPECT_EQ(Find(*view, "\xB8\xEB\xEA\xE0", true, true), -1);
}

TEST_F(TextViewTest, MatchesSpanSoftWrapsButNeverLineEnds) {
  Load(std::string(22, 'a') + " hello world", 200);  // "hello" wraps to the next row
  ASSERT_GT(view->LastRow, 0);
  EXPECT_EQ(Find(*view, "a hello", false), 21);
  Load("hello\r\nworld");
  EXPECT_EQ(Find(*view, "hello\r\nworld", false), -1);
  EXPECT_EQ(Find(*view, "world", false), 7);
}

TEST_F(TextViewTest, TheRegionLimitKeepsMatchesInsideTheSelection) {
  Load("ab xx ab xx ab");
  int limit = 6;  // "ab xx " from the start
  EXPECT_TRUE(view->FindText("xx", limit, false, false));
  EXPECT_FALSE(view->FindText("ab", limit, true, false));  // the next "ab" lies beyond
}

TEST_F(TextViewTest, ReplaceActsOnlyOnTheMatchItSelected) {
  Load("cat dog cat");
  ReplaceSession r;
  r.options.find = "cat";
  r.options.replace = "cow";
  std::string message;
  EXPECT_TRUE(r.FindNext(*view, message));
  view->SetPosition(5, 0, true);  // the user clicks elsewhere
  view->SetPosition(5, 0, false);
  EXPECT_FALSE(r.Replace(*view, message));  // it searches again instead
  EXPECT_EQ(Text(), "cat dog cat");
  EXPECT_EQ(view->PosToOffset(view->CursorCol, view->CursorRow), 8);
  EXPECT_TRUE(r.Replace(*view, message));
  EXPECT_EQ(Text(), "cat dog cow");
  EXPECT_TRUE(r.Finished);
  EXPECT_EQ(message, NoMoreMessage("cat"));
}

TEST_F(TextViewTest, ReplaceAllDoesNotLoopAndUndoesInOneStepPerMatch) {
  Load("aaa");
  ReplaceSession r;
  r.options.find = "a";
  r.options.replace = "aa";
  std::string message;
  EXPECT_EQ(r.ReplaceAll(*view, message), 3);
  EXPECT_EQ(Text(), "aaaaaa");
  view->Undo();
  EXPECT_EQ(Text(), "aaaaa");  // the last replacement taken back
  Load("a-a-a");
  ReplaceSession empty;
  empty.options.find = "a";
  empty.options.replace = "";
  EXPECT_EQ(empty.ReplaceAll(*view, message), 3);
  EXPECT_EQ(Text(), "--");
}

TEST_F(TextViewTest, ReplacingWithoutUndoEmptiesTheHistory) {
  Load("x y x");
  Type("z");
  ReplaceSession r;
  r.options.find = "x";
  r.options.replace = "w";
  r.options.undoOn = false;
  std::string message;
  Cursor(0, 0);
  r.FindNext(*view, message);
  r.Replace(*view, message);
  EXPECT_FALSE(view->CanUndo());
}

TEST_F(TextViewTest, StartingFromTheCursorFindsAMatchAtTheCursor) {
  Load("ab ab ab");
  Cursor(3, 0);
  ReplaceSession r;
  r.options.find = "ab";
  r.options.start = StartFrom::kCursor;
  std::string message;
  EXPECT_TRUE(r.FindNext(*view, message));
  EXPECT_EQ(view->PosToOffset(view->CursorCol, view->CursorRow), 3);
  // In the selection: nothing that starts after it.
  view->SetPosition(0, 0, false);
  view->SetPosition(4, 0, true);
  ReplaceSession sel;
  sel.options.find = "ab";
  sel.options.start = StartFrom::kSelection;
  EXPECT_TRUE(sel.FindNext(*view, message));
  EXPECT_EQ(view->PosToOffset(view->CursorCol, view->CursorRow), 0);
  EXPECT_FALSE(sel.FindNext(*view, message));
}

}  // namespace
}  // namespace prambus
