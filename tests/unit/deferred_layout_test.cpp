// Edits in paragraphs whose new layout never meets the old one: the edit lays
// out a bounded number of rows and ends the last early, and ContinueLayout
// later lays the rest out again, until the rows are those a fresh layout of
// the text gives.
#include <string>

#include "shell/find_replace.h"
#include "support/text_view_fixture.h"

namespace prambus {
namespace {

class DeferredLayoutTest : public TextViewTest {
 protected:
  // Rows of 10 characters, an edit lays out 3 rows before it may end one.
  void LoadUnbroken(int length) {
    Load(std::string(static_cast<size_t>(length), 'a'), 80);
    view->LimitEditLayout(3);
  }

  // The rows a fresh layout of the same text gives.
  RowList FreshRows() {
    TestCanvas freshCanvas;
    TextView fresh(&freshCanvas);
    fresh.WrapWidth = view->WrapWidth;
    const std::string text = Text();
    fresh.AppendBytes(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
    RowList rows;
    for (int r = 0; r <= fresh.LastRow(); ++r) rows.emplace_back(fresh.GetRow(r));
    return rows;
  }

  void Finish() {
    while (!view->ContinueLayout(16)) {
    }
  }

  int CursorOffset() { return view->PosToOffset(view->CursorColumn(), view->CursorRow()); }
  int AnchorOffset() { return view->PosToOffset(view->AnchorColumn(), view->AnchorRow()); }
};

TEST_F(DeferredLayoutTest, AnEditEndsARowEarlyAndTheRestIsLaidOutLater) {
  LoadUnbroken(200);
  Cursor(3, 1);
  view->TypeChar('b');
  const std::string text = Text();
  ASSERT_EQ(text.size(), 201u);
  EXPECT_EQ(text[13], 'b');
  ExpectRowInvariants(text);
  // The layout starts from row 0, which row 1 continues: rows 0 to 2 are
  // laid out again, then row 3 holds the character pushed on into it and
  // ends there; the old rows from 3 on follow it as they were.
  ASSERT_TRUE(view->LayoutPending());
  EXPECT_EQ(view->RowsEndedEarly(), std::vector<int>{3});
  EXPECT_EQ(view->PendingLayoutRow(), 3);
  EXPECT_EQ(view->GetRow(2), std::string(10, 'a'));
  EXPECT_EQ(view->GetRow(3), "a");
  EXPECT_EQ(view->GetRow(4), std::string(10, 'a'));
  EXPECT_EQ(view->LastRow(), 20);
  EXPECT_EQ(CursorOffset(), 14);

  EXPECT_TRUE(view->ContinueLayout(size_t(1) << 20));
  EXPECT_FALSE(view->LayoutPending());
  EXPECT_EQ(Rows(), FreshRows());
  EXPECT_EQ(Text(), text);
  EXPECT_EQ(CursorOffset(), 14);
}

// Later keys take the row ended early in again: one seam, and the row count
// grows only as a whole layout's would.
TEST_F(DeferredLayoutTest, TypingOnKeepsOneSeamAndTheRowsAfterIt) {
  LoadUnbroken(200);
  Cursor(0, 0);
  view->TypeChar('b');
  const int rows = view->LastRow();
  for (int i = 0; i < 8; ++i) view->TypeChar('b');
  EXPECT_EQ(view->RowsEndedEarly().size(), 1u);
  EXPECT_EQ(view->LastRow(), rows);
  EXPECT_EQ(view->GetRow(view->RowsEndedEarly()[0]), std::string(9, 'a'));
  view->TypeChar('b');  // the row ended early is full now, then ends one further on
  ExpectRowInvariants("bbbbbbbbbb" + std::string(200, 'a'));
  Finish();
  EXPECT_EQ(Rows(), FreshRows());
  EXPECT_EQ(CursorOffset(), 10);
}

// Edits going on through a paragraph (dense replacements, or typing here
// and there) keep one seam: an edit lays out from a seam shortly before it,
// and on through one shortly after it.
TEST_F(DeferredLayoutTest, EditsGoingOnThroughAParagraphKeepOneSeam) {
  LoadUnbroken(3000);
  view->LimitEditLayout(1);
  for (int row = 10; row < 200; row += 3) {  // each just past the last seam
    Cursor(5, row);
    view->TypeChar('b');
    ASSERT_EQ(view->RowsEndedEarly().size(), 1u) << "row " << row;
    EXPECT_GE(view->PendingLayoutRow(), view->CursorRow());
    ExpectRowInvariants(Text());
  }
  for (int row = 197; row > 186; row -= 2) {  // each a little before it
    Cursor(5, row);
    view->TypeChar('c');
    ASSERT_EQ(view->RowsEndedEarly().size(), 1u) << "row " << row;
  }
  ExpectRowInvariants(Text());
  const RowList before = Rows();
  const int seam = view->PendingLayoutRow();
  Finish();
  const RowList fresh = FreshRows();
  EXPECT_EQ(Rows(), fresh);
  for (int r = 0; r < seam; ++r) EXPECT_EQ(before[r], fresh[r]) << "row " << r;
}

// Each step lays out about the bytes it is given and ends a row early
// further on; cursor and selection keep their characters through all of it.
TEST_F(DeferredLayoutTest, StepsMoveTheSeamOnAndKeepCursorAndSelection) {
  LoadUnbroken(400);
  Cursor(5, 0);
  view->TypeChar('b');
  ASSERT_EQ(view->RowsEndedEarly(), std::vector<int>{3});
  // A selection from inside the rows still to be laid out to past them.
  view->SetPosition(7, 30, false);
  view->SetPosition(2, 12, true);
  const int anchor = AnchorOffset(), cursor = CursorOffset();
  const std::string selected = view->GetSelectedText();
  int seam = view->PendingLayoutRow();
  while (!view->ContinueLayout(25)) {
    const int next = view->PendingLayoutRow();
    EXPECT_GT(next, seam);
    seam = next;
    EXPECT_EQ(AnchorOffset(), anchor);
    EXPECT_EQ(CursorOffset(), cursor);
    ExpectRowInvariants(Text());
  }
  EXPECT_EQ(Rows(), FreshRows());
  EXPECT_EQ(AnchorOffset(), anchor);
  EXPECT_EQ(CursorOffset(), cursor);
  EXPECT_EQ(view->GetSelectedText(), selected);
}

// A budget spent ends the call: none lays nothing out, and a row's bytes
// move the row ended early on by one row.
TEST_F(DeferredLayoutTest, AStepEndsWhenItsBudgetIsSpent) {
  LoadUnbroken(400);
  Cursor(5, 0);
  view->TypeChar('b');
  const RowList before = Rows();
  EXPECT_FALSE(view->ContinueLayout(0));
  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(view->RowsEndedEarly(), std::vector<int>{3});
  for (int seam = 4; seam <= 6; ++seam) {
    EXPECT_FALSE(view->ContinueLayout(10));
    EXPECT_EQ(view->RowsEndedEarly(), std::vector<int>{seam});
  }
  Finish();
  EXPECT_EQ(Rows(), FreshRows());
}

// Edits before, across and after a seam: rows inserted or removed before it
// move it, an edit that lays its row out again or lies shortly after it takes
// it away, and a line end typed further on leaves it where it is.
TEST_F(DeferredLayoutTest, SeamsFollowOtherEdits) {
  LoadUnbroken(600);
  Cursor(0, 10);
  view->TypeChar('b');
  ASSERT_EQ(view->RowsEndedEarly(), std::vector<int>{12});
  // A line end before it: from the next old row on the old rows hold, one
  // row further down.
  Cursor(0, 0);
  view->LimitEditLayout(100);
  view->TypeChar('\n');
  EXPECT_EQ(view->RowsEndedEarly(), std::vector<int>{13});
  EXPECT_EQ(view->GetRow(13), "a");
  Cursor(0, 40);
  view->TypeChar('\n');  // further on: the seam stays
  EXPECT_EQ(view->RowsEndedEarly(), std::vector<int>{13});
  ExpectRowInvariants(Text());

  // A selection across the seam goes: the rows around it are laid out again.
  view->SetPosition(5, 12, false);
  view->SetPosition(5, 15, true);
  const std::string before = Text();
  const int from = AnchorOffset();
  const int length = static_cast<int>(view->GetSelectedText().size());
  view->DeleteSelection(true, true);
  EXPECT_TRUE(view->RowsEndedEarly().empty());
  EXPECT_EQ(Text(), before.substr(0, from) + before.substr(from + length));
  EXPECT_EQ(Rows(), FreshRows());
  view->Undo();
  EXPECT_EQ(Text(), before);
  Finish();
  EXPECT_EQ(Rows(), FreshRows());

  // Shortly after a seam: the edit lays out from the seam.
  view->LimitEditLayout(3);
  Cursor(0, 10);
  view->TypeChar('b');
  ASSERT_EQ(view->RowsEndedEarly().size(), 1u);
  const int seam = view->PendingLayoutRow();
  view->LimitEditLayout(100);
  Cursor(0, seam + TextView::kSeamReachRows - 1);
  view->TypeChar('\n');
  EXPECT_TRUE(view->RowsEndedEarly().empty());
  EXPECT_EQ(Rows(), FreshRows());
}

// "Заменить всё" lays out a row past each replacement, then the rows up to
// the limit past the cursor: the seam the batch leaves lies beyond them.
TEST_F(DeferredLayoutTest, ReplaceAllLeavesTheRowsNearTheCursorLaidOut) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "aaaqzaaaa";
  Load(text, 80);
  view->SetViewHeight(16 * 5);
  ReplaceSession session;
  session.options.find = "qz";
  session.options.replace = "qzz";
  std::string message;
  view->SetPosition(0, 0, true);
  view->SetPosition(0, 0, false);
  view->LimitEditLayout(0);
  EXPECT_EQ(session.ReplaceAll(*view, message), 60);
  std::string replaced;
  for (int i = 0; i < 60; ++i) replaced += "aaaqzzaaaa";
  EXPECT_EQ(Text(), replaced);
  ExpectRowInvariants(replaced);
  // Rows through kEditLayoutRows past the cursor are laid out whole; the
  // text is short enough for all of them to be.
  EXPECT_FALSE(view->LayoutPending());
  EXPECT_EQ(Rows(), FreshRows());
  view->Undo();
  EXPECT_EQ(Text().size(), replaced.size() - 1);

  // Matches in a selection at the start of a long paragraph: what is left
  // starts past those rows, and the rows before it are a whole layout's.
  text.clear();
  for (int i = 0; i < 12000; ++i) text += "aaaqzaaaa";
  Load(text, 80);
  int col = 891, row = 0;  // 99 matches: the rows after them move on by 9 bytes
  view->OffsetToPos(col, row);
  view->SetPosition(0, 0, false);
  view->SetPosition(col, row, true);
  session.Show(view->HasSelection());
  EXPECT_EQ(session.ReplaceAll(*view, message), 99);
  const int cursorRow = view->CursorRow();
  EXPECT_LT(cursorRow, 101);  // on or before the row after the last replacement
  ASSERT_TRUE(view->LayoutPending());
  const int seam = view->PendingLayoutRow();
  EXPECT_GT(seam, cursorRow + TextView::kEditLayoutRows);
  const RowList before = Rows();
  Finish();
  const RowList fresh = FreshRows();
  EXPECT_EQ(Rows(), fresh);
  for (int r = 0; r < seam; ++r) EXPECT_EQ(before[r], fresh[r]) << "row " << r;
}

// When a batch of edits ends, a seam on the last of the kEditLayoutRows rows
// past the cursor is laid out; one further on is left for later.
TEST_F(DeferredLayoutTest, ABatchLaysOutTheRowsThroughTheLimitPastTheCursor) {
  for (const int beyond : {0, 1}) {
    LoadUnbroken(6000);
    view->LimitEditLayout(0);
    view->BatchEdits(true);
    Cursor(5, 300);
    view->TypeChar('b');
    ASSERT_TRUE(view->LayoutPending());
    const int seam = view->PendingLayoutRow();
    Cursor(0, seam - TextView::kEditLayoutRows - beyond);
    view->BatchEdits(false);
    EXPECT_EQ(view->PendingLayoutRow(), beyond ? seam : -1) << beyond;
  }
}

// A cursor at the end of the document stays there while the rows before it
// are laid out again.
TEST_F(DeferredLayoutTest, TheCursorAtTheEndStaysThere) {
  LoadUnbroken(400);
  Cursor(5, 0);
  view->TypeChar('b');
  ASSERT_TRUE(view->LayoutPending());
  Cursor(10, view->LastRow());
  ASSERT_EQ(CursorOffset(), 401);
  Finish();
  EXPECT_EQ(view->CursorRow(), view->LastRow());
  EXPECT_EQ(CursorOffset(), 401);
  EXPECT_EQ(Rows(), FreshRows());
}

// The row after the one a reflow starts from may hold the edit (the cursor
// was put back on the row before): a row that repeats it is no place to stop.
TEST_F(DeferredLayoutTest, AReflowStopsOnlyPastTheEditedRows) {
  Load(std::string(14, 'a') + "\n", 24);
  Cursor(0, 5);
  view->Backspace();  // the line end goes: no empty row stays after the last
  EXPECT_EQ(Text(), std::string(14, 'a'));
  EXPECT_EQ(Rows(), FreshRows());
  view->Undo();
  EXPECT_EQ(Rows(), FreshRows());
}

TEST_F(DeferredLayoutTest, ARelayoutOrANewDocumentLeavesNoSeam) {
  LoadUnbroken(200);
  view->TypeChar('b');
  ASSERT_TRUE(view->LayoutPending());
  view->Relayout();
  EXPECT_FALSE(view->LayoutPending());
  EXPECT_EQ(Rows(), FreshRows());
  view->TypeChar('b');
  ASSERT_TRUE(view->LayoutPending());
  view->Clear();
  EXPECT_FALSE(view->LayoutPending());
  EXPECT_TRUE(view->ContinueLayout(100));
}

// Where a row starts again where an old row started, or a paragraph ends,
// nothing is left for later; where each row pushes a word on into the next
// the rest is left, as in a paragraph without breaks.
TEST_F(DeferredLayoutTest, AnEditThatMeetsTheOldLayoutLeavesNothing) {
  std::string words;
  for (int i = 0; i < 40; ++i) words += "abc defg ";
  Load(words, 80);
  view->LimitEditLayout(3);
  Cursor(2, 0);
  view->TypeChar('x');
  EXPECT_FALSE(view->LayoutPending());
  EXPECT_EQ(Rows(), FreshRows());

  Load(std::string(35, 'a') + "\r\n" + std::string(50, 'a'), 80);
  view->LimitEditLayout(3);
  Cursor(0, 0);
  view->TypeChar('b');
  EXPECT_FALSE(view->LayoutPending());
  EXPECT_EQ(Rows(), FreshRows());

  words.clear();
  for (int i = 0; i < 40; ++i) words += "abc de ";
  Load(words, 80);
  view->LimitEditLayout(1);
  Cursor(2, 0);
  view->TypeChar('x');
  EXPECT_TRUE(view->LayoutPending());
  Finish();
  EXPECT_EQ(Rows(), FreshRows());
}

}  // namespace
}  // namespace prambus
