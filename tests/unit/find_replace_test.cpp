// Finding and replacing in the text view.
#include "shell/find_replace.h"

#include "support/text_view_fixture.h"

namespace prambus {
namespace {

int Find(TextView& v, const std::string& text, bool fromCursor, bool caseSensitive = false) {
  int limit = kNoLimit;
  if (!v.FindText(text, limit, fromCursor, caseSensitive)) return -1;
  return v.PosToOffset(v.CursorColumn(), v.CursorRow());
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
  ASSERT_GT(view->LastRow(), 0);
  EXPECT_EQ(Find(*view, "a hello", false), 21);
  Load("hello\r\nworld");
  EXPECT_EQ(Find(*view, "hello\r\nworld", false), -1);
  EXPECT_EQ(Find(*view, "world", false), 7);
}

// Rows searched where they lie: a match across an edited row (its bytes
// apart from the loaded ones) and the next row is found in either case, and
// a search over megabytes reports the region it used up exactly as a search
// hard line by hard line does.
TEST_F(TextViewTest, MatchesAcrossEditedRowsAndLimitsOverLargeTexts) {
  Load(std::string(22, 'a') + " hellX world\r\n", 200);  // "hellX world" wraps
  Cursor(4, 1);
  view->DeleteForward();
  view->TypeChar('o');  // row 1 now holds its own copy of "hello "
  ASSERT_EQ(view->GetRow(1).substr(0, 5), "hello");
  EXPECT_EQ(Find(*view, "a HELLO", false), 21);
  EXPECT_EQ(Find(*view, "hello world", false, true), 23);
  EXPECT_EQ(Find(*view, "a HELLO", false, true), -1);

  // Runs of contiguous rows cut at any length still find matches across the
  // cut, each time from the cursor on, as the search by lines does.
  std::string words;
  for (int i = 0; i < 40; ++i) words += "alpha beta gamma delta ";
  Load(words, 120);
  ASSERT_GT(view->LastRow(), 10);
  for (const size_t run : {1, 2, 3, 5, 8, 13, 64}) {
    view->LimitQuickSearchRun(run);
    std::vector<int> quick, byLines;
    for (const bool on : {true, false}) {
      view->AllowQuickSearch(on);
      Cursor(0, 0);
      std::vector<int>& at = on ? quick : byLines;
      for (int found; (found = Find(*view, "A DELTA", true)) >= 0;) at.push_back(found);
    }
    EXPECT_EQ(quick, byLines) << "runs of " << run;
    EXPECT_EQ(quick.size(), 40u);  // "gamma delta" in each repetition
  }
  view->LimitQuickSearchRun(size_t(256) << 10);
  view->AllowQuickSearch(true);

  std::string text;
  while (text.size() < (size_t(3) << 20)) text += "lorem ipsum, dolor sit amet\r\n";
  Load(text + "needle", 200);
  for (const int start : {5000, static_cast<int>(text.size()) + 5, kNoLimit}) {
    int counts[2], found[2];
    for (const bool quick : {true, false}) {
      view->AllowQuickSearch(quick);
      Cursor(0, 0);
      counts[quick] = start;
      found[quick] = view->FindText("NEEDLE", counts[quick], false, false);
    }
    EXPECT_EQ(found[0], found[1]);
    EXPECT_EQ(counts[0], counts[1]);
  }
  EXPECT_EQ(view->CursorRow(), view->LastRow());  // the last search found it, case folded
}

// A match that runs past the right edge scrolls into view whole when it
// fits; one wider than the view keeps its start in view.
TEST_F(TextViewTest, AFoundMatchScrollsIntoViewWhole) {
  Load(std::string(22, '.') + "match" + std::string(40, '.'), 100000);
  ASSERT_EQ(view->LastRow(), 0);
  auto caretAt = [&](int col) {
    view->SetPosition(col, 0, false);
    view->SetPosition(col, 0, true);
    return view->GetCaretPoint().x + view->ScrollX();
  };
  const int start = caretAt(22), end = caretAt(27);
  ASSERT_GT(end, view->ViewWidth());
  view->SetPosition(0, 0, false);
  view->SetPosition(0, 0, true);
  EXPECT_EQ(Find(*view, "match", false), 22);
  EXPECT_LE(end - view->ScrollX(), view->ViewWidth());
  EXPECT_GE(start - view->ScrollX(), 0);
  view->SetScrollX(0);
  view->SetViewWidth(16);  // narrower than the match
  EXPECT_EQ(Find(*view, "match", false), 22);
  EXPECT_EQ(start - view->ScrollX(), view->GetCaretPoint().x);
  EXPECT_GE(view->GetCaretPoint().x, 0);
  EXPECT_LE(view->GetCaretPoint().x, view->ViewWidth());
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
  EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), 8);
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
  // Replacing the whole of a one-row text leaves a document of no width.
  Load("aaa");
  EXPECT_EQ(view->GetDocumentWidth(), 24);
  ReplaceSession all;
  all.options.find = "aaa";
  EXPECT_EQ(all.ReplaceAll(*view, message), 1);
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(view->GetDocumentWidth(), 0);
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
  EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), 3);
  // In the selection: nothing that starts after it.
  view->SetPosition(0, 0, false);
  view->SetPosition(4, 0, true);
  ReplaceSession sel;
  sel.options.find = "ab";
  sel.options.start = StartFrom::kSelection;
  EXPECT_TRUE(sel.FindNext(*view, message));
  EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), 0);
  EXPECT_FALSE(sel.FindNext(*view, message));
}

// Taking out a match between a CR and a LF lets them meet as one line end:
// the replacement still goes where the match was, on both sides of the pair
// that forms, and typing over such a selection does the same.
TEST_F(TextViewTest, AReplacementBetweenACrAndALfStaysBetweenThem) {
  for (const char* find : {"a", "ab"}) {
    Load("x\rab\ny");
    ReplaceSession r;
    r.options.find = find;
    r.options.replace = "Q";
    std::string message;
    ASSERT_TRUE(r.FindNext(*view, message));
    ASSERT_TRUE(r.Replace(*view, message));
    EXPECT_EQ(Text(), std::string("x\rQ") + (find[1] ? "" : "b") + "\ny") << find;
  }
  Load("x\rab\ny");
  view->SetPosition(0, 1, false);
  view->SetPosition(2, 1, true);
  view->DeleteSelectionForInsert();
  view->TypeChar('Q');
  EXPECT_EQ(Text(), "x\rQ\ny");
  view->Undo();  // the deletion and the key are one step
  EXPECT_EQ(Text(), "x\rab\ny");
}

std::string TextOf(const TextView& v) {
  std::string s;
  for (int r = 0; r <= v.LastRow(); ++r) s += v.GetRow(r);
  return s;
}

int Offset(TextView& v, bool cursor) {
  return cursor ? v.PosToOffset(v.CursorColumn(), v.CursorRow())
                : v.PosToOffset(v.AnchorColumn(), v.AnchorRow());
}

ReplaceSession Session(const std::string& find, const std::string& replace) {
  ReplaceSession r;
  r.options.find = find;
  r.options.replace = replace;
  return r;
}

TEST_F(TextViewTest, ReplaceAllActsOnlyOnTheSelectedMatchToo) {
  Load("cat dog cat");
  ReplaceSession r = Session("cat", "cow");
  std::string message;
  EXPECT_TRUE(r.FindNext(*view, message));
  Cursor(5, 0);                                // the user clicks inside "dog"
  EXPECT_EQ(r.ReplaceAll(*view, message), 1);  // it searches on from the cursor first
  EXPECT_EQ(Text(), "cat dog cow");
  // After a replacement, the text where the match was is no longer a match.
  Load("cat cat");
  r = Session("cat", "x");
  EXPECT_TRUE(r.FindNext(*view, message));
  EXPECT_TRUE(r.Replace(*view, message));  // "x cat", the second "cat" selected
  view->SetPosition(0, 0, true);
  view->SetPosition(3, 0, false);  // "x c": where the first match was
  EXPECT_FALSE(r.Replace(*view, message));
  EXPECT_EQ(Text(), "x cat");
  // With nothing to find, nothing is replaced (not even the selection).
  r = Session("", "y");
  EXPECT_EQ(r.ReplaceAll(*view, message), 0);
  EXPECT_EQ(Text(), "x cat");
}

TEST_F(TextViewTest, MatchesLieWhollyInsideTheSelection) {
  Load("foo foo foo");
  view->SetPosition(0, 0, false);
  view->SetPosition(5, 0, true);  // "foo f"
  ReplaceSession r = Session("foo", "x");
  r.Show(view->HasSelection());
  std::string message;
  EXPECT_EQ(r.ReplaceAll(*view, message), 1);
  EXPECT_EQ(Text(), "x foo foo");
  // Growing replacements move the region's end with them.
  Load("ab ab ab");
  view->SetPosition(0, 0, false);
  view->SetPosition(5, 0, true);  // "ab ab"
  r.options.find = "ab";
  r.options.replace = "abab";
  r.Show(view->HasSelection());
  EXPECT_EQ(r.ReplaceAll(*view, message), 2);
  EXPECT_EQ(Text(), "abab abab ab");
  // A selection right after a line end: its first match is found, and the
  // selection ends backwards (cursor before the anchor) just as well.
  Load("x\r\nab\r\nab");
  view->SetPosition(2, 1, false);
  view->SetPosition(0, 1, true);
  r.options.find = "ab";
  r.options.replace = "c";
  r.Show(view->HasSelection());
  EXPECT_TRUE(r.FindNext(*view, message));
  EXPECT_EQ(Offset(*view, true), 3);
  EXPECT_EQ(Offset(*view, false), 5);
  EXPECT_TRUE(r.Replace(*view, message));
  EXPECT_EQ(Text(), "x\r\nc\r\nab");
  EXPECT_TRUE(r.Finished);  // the second "ab" lies outside
}

// A search from the cursor passes over a two-byte line end at the cursor
// whole: the second half of the pair lies before the region a selection
// starting after it makes, and is neither found nor replaced.
TEST_F(TextViewTest, ASearchFromALineEndPassesOverBothOfItsBytes) {
  for (const std::string pair : {"\n\r", "\r\n"}) {
    const std::string half(1, pair[1]);
    Load("ab" + pair + half + "c" + half);
    int col = 4, row = 0;
    view->OffsetToPos(col, row);
    view->SetPosition(col, row, false);
    col = 6, row = 0;
    view->OffsetToPos(col, row);
    view->SetPosition(col, row, true);
    ReplaceSession r = Session(half, "x");
    r.Show(view->HasSelection());
    std::string message;
    EXPECT_EQ(r.ReplaceAll(*view, message), 1);
    EXPECT_EQ(Text(), "ab" + pair + "xc" + half);
    view->SetPosition(0, 0, false);
    view->SetPosition(0, 0, true);
    EXPECT_EQ(Find(*view, pair, false), 2);
    EXPECT_EQ(Find(*view, half, true), 6);  // not the pair's own second half
  }
}

TEST_F(TextViewTest, TheSelectionChoiceIsUsedUpBySearchesOfEveryCommand) {
  Load("aa aa aa");
  view->SetPosition(0, 0, false);
  view->SetPosition(2, 0, true);
  ReplaceSession r = Session("aa", "b");
  r.Show(true);
  EXPECT_TRUE(r.SelectionChoice);
  EXPECT_EQ(r.options.start, StartFrom::kSelection);
  std::string message;
  EXPECT_FALSE(r.Replace(*view, message));  // a fresh search: it selects the match
  EXPECT_FALSE(r.SelectionChoice);
  r.Reset();  // the user edits a field: the choice falls back to the start
  EXPECT_EQ(r.options.start, StartFrom::kBeginning);
  EXPECT_EQ(r.ReplaceAll(*view, message), 3);
  EXPECT_EQ(Text(), "b b b");
}

TEST_F(TextViewTest, ReplaceAllAfterAFinishedSearchRunsAgainOverItsRegion) {
  Load("a-b-a-b");
  Cursor(2, 0);
  ReplaceSession r = Session("a", "c");
  r.options.start = StartFrom::kCursor;
  std::string message;
  EXPECT_TRUE(r.FindNext(*view, message));
  EXPECT_FALSE(r.FindNext(*view, message));  // "Больше он не встречается"
  EXPECT_TRUE(r.Finished);
  EXPECT_EQ(r.ReplaceAll(*view, message), 1);  // from where the search began
  EXPECT_EQ(Text(), "a-b-c-b");
  message.clear();
  EXPECT_EQ(r.ReplaceAll(*view, message), 0);
  EXPECT_EQ(message, NoMoreMessage("a"));  // said, not silent
}

TEST_F(TextViewTest, AnEmptyReplacementKeepsLineEndPairsAndRowWidthsWhole) {
  Load("ab\rX\ncd\rX\nef");
  ReplaceSession r = Session("X", "");
  std::string message;
  EXPECT_EQ(r.ReplaceAll(*view, message), 2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"ab\r\n", "cd\r\n", "ef"}));
  for (int row = 0; row <= view->LastRow(); ++row) EXPECT_EQ(view->RowWidth(row), 16);
  view->Undo();
  view->Undo();
  EXPECT_EQ(Text(), "ab\rX\ncd\rX\nef");
}

// A session remembers the document and the revision its last step left it
// at. After anyone else's change (another document in the window, an edit)
// its region's offsets mean nothing: it starts afresh, over the new
// selection or else the whole document.
TEST_F(TextViewTest, ARegionNeverOutlivesTheDocumentItWasMadeFor) {
  Load("foo foo foo");
  view->SetPosition(0, 0, false);
  view->SetPosition(7, 0, true);  // "foo foo"
  ReplaceSession r = Session("foo", "x");
  r.Show(view->HasSelection());
  std::string message;
  EXPECT_EQ(r.ReplaceAll(*view, message), 2);
  EXPECT_EQ(Text(), "x x foo");
  // Another document (New, then typing): the whole of it.
  TextView other(&canvas);
  other.AppendString("foo foo foo foo");
  message.clear();
  EXPECT_EQ(r.ReplaceAll(other, message), 4);
  EXPECT_EQ(TextOf(other), "x x x x");
  EXPECT_EQ(message, NoMoreMessage("foo"));

  // Typing in front of the region moves it: the replacing goes over the
  // whole document, never over the bytes that now lie where it was.
  Load("foo foo foo");
  view->SetPosition(4, 0, false);
  view->SetPosition(11, 0, true);
  r.Show(view->HasSelection());
  EXPECT_EQ(r.ReplaceAll(*view, message), 2);
  EXPECT_EQ(Text(), "foo x x");
  Cursor(0, 0);
  Type("ab ");
  EXPECT_EQ(r.ReplaceAll(*view, message), 1);
  EXPECT_EQ(Text(), "ab x x x");

  // A new selection after the edit becomes the region.
  Load("foo foo foo foo");
  r.Show(false);
  EXPECT_TRUE(r.FindNext(*view, message));
  Cursor(15, 0);
  Type(" foo");
  view->SetPosition(8, 0, false);
  view->SetPosition(15, 0, true);  // the third and fourth "foo"
  EXPECT_EQ(r.ReplaceAll(*view, message), 2);
  EXPECT_EQ(Text(), "foo foo x x foo");

  // Moves are no change: "Найти далее" goes on from its match.
  Load("foo foo foo");
  r.Show(false);
  EXPECT_TRUE(r.FindNext(*view, message));
  view->MoveRight(false, false);
  view->MoveLeft(false, false);
  EXPECT_TRUE(r.FindNext(*view, message));
  EXPECT_EQ(Offset(*view, true), 4);
}

}  // namespace
}  // namespace prambus
