// Editing the text view: undo record shapes, line ends, deletions across
// rows and line boundaries, the undo budget, files and display tables.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "encodings/code_tables.h"
#include "io/io_error.h"
#include "support/temp_dir.h"
#include "support/text_view_fixture.h"
#include "text/line_ends.h"

namespace prambus {
namespace {

TEST_F(TextViewTest, TypedWordMergesWithTheBlankThatFollows) {
  Load("");
  Type("ab cd");
  ASSERT_EQ(view->UndoStack().size(), 2u);
  EXPECT_EQ(view->UndoStack()[0].text, "ab ");
  EXPECT_EQ(view->UndoStack()[1].text, "cd");
  view->Undo();
  EXPECT_EQ(Text(), "ab ");
  view->Undo();
  EXPECT_EQ(Text(), "");
  view->Redo();
  view->Redo();
  EXPECT_EQ(Text(), "ab cd");
}

TEST_F(TextViewTest, TypingOverASelectionIsOneReplacement) {
  Load("hello world");
  view->SetPosition(1, 0, false);
  view->SetPosition(4, 0, true);
  view->DeleteSelection(true, true);
  view->SealUndo();
  view->TypeChar('X');
  EXPECT_EQ(Text(), "hXo world");
  ASSERT_EQ(view->UndoStack().size(), 1u);
  EXPECT_EQ(view->UndoStack()[0].kind, kUndoReplace);
  view->Undo();
  EXPECT_EQ(Text(), "hello world");
  EXPECT_FALSE(view->HasSelection());
  view->Redo();
  EXPECT_EQ(Text(), "hXo world");
  view->Undo();
  EXPECT_EQ(Text(), "hello world");
}

// A selection across rows given way to a key is not laid out until the key
// is: the row before the selection then takes in what the rows left hold.
TEST_F(TextViewTest, EnterTypedOverASelectionAcrossRowsLaysOutTheRowBeforeIt) {
  Load("a,ca_aaaa", 24);
  ASSERT_EQ(Rows(), (RowList{"a,", "ca_", "aaa", "a"}));
  view->SetPosition(1, 1, true);
  view->SetPosition(0, 3, false);
  view->DeleteSelectionForInsert();
  view->TypeChar('\n');
  EXPECT_EQ(Text(), "a,c\na");
  EXPECT_EQ(Rows(), (RowList{"a,c\n", "a"}));
}

TEST_F(TextViewTest, SealedDeletionThatNothingReplacedIsRestoredByUndo) {
  Load("abcdef");
  view->SetPosition(1, 0, false);
  view->SetPosition(4, 0, true);
  view->DeleteSelection(true, true);
  view->SealUndo();
  view->InsertText("", true, true);  // an empty replacement inserts nothing
  EXPECT_EQ(Text(), "aef");
  view->Undo();
  EXPECT_EQ(Text(), "abcdef");
}

TEST_F(TextViewTest, EnterCopiesTheStyleOfTheLineEnds) {
  struct Case {
    const char* text;
    int offset;
    const char* expected;
  };
  const Case cases[] = {
      {"abc\r\ndef", 3, "abc\r\n\r\ndef"},      // before the line end: that line end
      {"abc\ndef", 4, "abc\n\ndef"},            // at the start of a line: the one before
      {"abc\r\ndef\n", 1, "a\r\nbc\r\ndef\n"},  // inside a line: the one that ends it
      {"ab\rcd\n", 4, "ab\rc\nd\n"},
      {"ab\n\rcd\r\n", 1, "a\n\rb\n\rcd\r\n"},  // a LF CR pair is one line end
      {"x\r\nabc", 5, "x\r\nab\r\nc"},          // a last line without one: the line before
      {"x\r\nabc", 6, "x\r\nabc\r\n"},
      {"abc", 1, "a\nbc"},  // no line end anywhere: LF, the platform's convention
      {"", 0, "\n"},
  };
  for (const Case& c : cases) {
    Load(c.text, 40);  // five characters a row: the hard lines wrap
    int col = c.offset, row = 0;
    view->OffsetToPos(col, row);
    Cursor(col, row);
    view->TypeChar('\r');
    EXPECT_EQ(Text(), c.expected) << c.text << " at " << c.offset;
    view->Undo();
    EXPECT_EQ(Text(), c.text);
  }
  // Inside a hard line that wraps over several rows, the line end is found
  // rows further on.
  Load("aaaa bbbb cccc dddd\n", 40);
  ASSERT_GE(view->LastRow(), 3);
  Cursor(1, 0);
  view->TypeChar('\r');
  EXPECT_EQ(Text(), "a\naaa bbbb cccc dddd\n");
  EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), 2);
}

TEST(LineEnds, EveryLineEndOfATextTakesTheChosenStyle) {
  EXPECT_EQ(WithLineEnds("a\nb\n", "\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(WithLineEnds("a\r\nb\rc\n\rd", "\n"), "a\nb\nc\nd");  // pairs are one line end
  // LF, then LF CR, then CR: two equal characters are two line ends.
  EXPECT_EQ(WithLineEnds("\n\n\r\r", "\r\n"), "\r\n\r\n\r\n");
  EXPECT_EQ(WithLineEnds("\r\n\r\n", "\r"), "\r\r");
  EXPECT_EQ(WithLineEnds("no line end", "\n"), "no line end");
}

// Whether saving would change a line end: only with the conversion on, and
// only when some line ends otherwise than the chosen style (wrapped rows
// and a last line without a line end change nothing).
TEST_F(TextViewTest, SavingChangesLineEndsOnlyWhereTheyDiffer) {
  Load("aaaa bbbb cccc\r\nlast", 40);
  ASSERT_GT(view->LastRow(), 2);  // wrapped
  EXPECT_FALSE(view->SavingChangesLineEnds());
  view->ConvertLineEnds = true;
  Cfg().LineEnd = "\r\n";
  EXPECT_FALSE(view->SavingChangesLineEnds());
  Cfg().LineEnd = "\n";
  EXPECT_TRUE(view->SavingChangesLineEnds());
  Load("one\ntwo\nthree");
  EXPECT_FALSE(view->SavingChangesLineEnds());
  Load("one\ntwo\n\rthree\n");  // one LF CR among the LFs
  EXPECT_TRUE(view->SavingChangesLineEnds());
  Load("no line end at all");
  EXPECT_FALSE(view->SavingChangesLineEnds());
}

// The four entries of the line-end menu (LF, CR, CR LF, keep the file's
// own) carry one mark: the rule chosen, also when marked again from it.
TEST_F(TextViewTest, OneLineEndEntryIsMarkedAtATime) {
  struct Entry : MenuEntry {
    bool on = false;
    bool Checked() const override { return on; }
    void SetChecked(bool c) override { on = c; }
    void SetShortcutText(const std::string&) override {}
  };
  Entry entries[4], wrap, menu, nonPrinting;  // the view's menu in its order
  view->AttachMenuItem(0, &wrap);
  view->AttachMenuItem(1, &menu);
  for (int i = 0; i < 4; ++i) view->AttachMenuItem(i + 2, &entries[i]);
  view->AttachMenuItem(6, &nonPrinting);
  auto marks = [&] {
    std::string m;
    for (const Entry& e : entries) m += e.on ? '1' : '0';
    return m;
  };
  // The entries as the window's menu calls them, each with its new state.
  const ViewMenuActions actions = view->GetViewMenu();
  ASSERT_GE(actions.size(), 6u);
  const char* const ends[] = {"\n", "\r", "\r\n"};
  for (int i : {0, 1, 2}) {
    actions[2 + i].handler(true);
    EXPECT_EQ(marks(), std::string("000").replace(i, 1, "1") + "0") << i;
    EXPECT_EQ(Cfg().LineEnd, ends[i]) << i;
    EXPECT_TRUE(view->ConvertLineEnds);
  }
  view->ChooseLineEnd("\n", 0, true);
  EXPECT_EQ(marks(), "1000");
  view->ChooseLineEnd("\r\n", 2, true);
  EXPECT_EQ(marks(), "0010");
  view->ChooseLineEnd("\r", 1, false);  // an entry unchecked by its group
  EXPECT_EQ(marks(), "0010");
  view->RefreshLineEndMarks();
  EXPECT_EQ(marks(), "0010");
  view->KeepLineEnds(true);
  EXPECT_EQ(marks(), "0001");
  view->RefreshLineEndMarks();
  EXPECT_EQ(marks(), "0001");
  EXPECT_FALSE(wrap.on || menu.on || nonPrinting.on);
}

// What a paste inserts: the text in the line-end style of the place it lands.
TEST_F(TextViewTest, PastedLinesTakeTheLineEndsWhereTheyLand) {
  struct Case {
    const char* text;
    int offset;
    const char* expected;
  };
  const Case cases[] = {
      {"ab\r\ncd", 1, "a1\r\n2b\r\ncd"},  // the line at the cursor
      {"ab\ncd\r\n", 5, "ab\ncd1\r\n2\r\n"},
      {"ab\r\ncd", 6, "ab\r\ncd1\r\n2"},  // the last line has none: the one before
      {"abcd", 2, "ab1\n2cd"},            // none anywhere: LF, as Enter
  };
  for (const Case& c : cases) {
    Load(c.text, 400);
    int col = c.offset, row = 0;
    view->OffsetToPos(col, row);
    Cursor(col, row);
    view->InsertText(WithLineEnds("1\n2", view->LineEndAtCursor()), true, true);
    EXPECT_EQ(Text(), c.expected) << c.text;
  }
}

// The document is modified exactly when its revision moves: a key that
// changes nothing leaves it, every edit moves it.
TEST_F(TextViewTest, OnlyAChangeMovesTheRevision) {
  Load("ab");
  uint64_t seen = view->Revision();
  auto moved = [&] {
    const bool m = view->Revision() != seen;
    seen = view->Revision();
    return m;
  };
  Cursor(2, 0);
  EXPECT_FALSE(view->DeleteForward());  // Delete at the end
  Cursor(0, 0);
  view->MoveLeft(true, true);  // Ctrl+Backspace at the start: no word before, no selection
  EXPECT_FALSE(view->HasSelection());
  EXPECT_FALSE(view->DeleteSelection(true, true));
  view->Redo();  // nothing to redo
  EXPECT_FALSE(moved());
  view->TypeChar('x');
  EXPECT_TRUE(moved());
  view->Backspace();
  EXPECT_TRUE(moved());
  view->InsertText("yz", true, false);
  EXPECT_TRUE(moved());
  view->Undo();
  EXPECT_TRUE(moved());
  view->Redo();
  EXPECT_TRUE(moved());
  view->SelectAll();
  view->DeleteSelection(false, true);  // without undo: the history goes, the revision moves
  EXPECT_TRUE(moved());
  EXPECT_FALSE(view->CanUndo());
  view->Undo();
  EXPECT_FALSE(moved());
}

TEST_F(TextViewTest, DeleteAndBackspaceTakeWholeLineEndPairs) {
  Load("ab\r\ncd");
  Cursor(2, 0);
  EXPECT_EQ(view->GetAdjacentText(true), "\r\n");
  view->DeleteForward();
  EXPECT_EQ(Text(), "abcd");
  Load("ab\r\ncd");
  Cursor(0, 1);
  EXPECT_EQ(view->GetAdjacentText(false), "\r\n");
  view->Backspace();
  EXPECT_EQ(Text(), "abcd");
  EXPECT_EQ(view->CursorColumn(), 2);
  view->Undo();
  EXPECT_EQ(Text(), "ab\r\ncd");
  EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), 4);
}

// Deleting a whole row that is only a line-end pair brings the lone CR
// before it and the LF after it together: they become one row end.
TEST_F(TextViewTest, LineEndsThatMeetAfterADeletePairUp) {
  Load("a\r\r\nb\n");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"a\r", "\r\n", "b\n", ""}));
  Cursor(0, 1);
  view->DeleteForward();
  EXPECT_EQ(Text(), "a\rb\n");
  Load("a\r\r\n\nb");
  Cursor(0, 1);
  view->DeleteForward();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"a\r\n", "b"}));
}

// Undo takes a paste back from between the two halves of a LF CR pair: the
// rows it leaves are those a fresh load of the same text gives, widths too.
TEST_F(TextViewTest, UndoingAPasteBesideALineEndPairLaysTheRowsOutAfresh) {
  auto layout = [&] {
    std::vector<std::pair<std::string, int>> rows;
    for (int r = 0; r <= view->LastRow(); ++r)
      rows.emplace_back(std::string(view->GetRow(r)), view->RowWidth(r));
    return rows;
  };
  Load("\n,\n\n\nxx a\n");
  const auto fresh = layout();
  Cursor(0, 2);
  view->InsertText("\r\raaa", true, true);
  view->Undo();
  EXPECT_EQ(layout(), fresh);
}

TEST_F(TextViewTest, BackspacesAndDeletesMergeIntoOneRecord) {
  Load("abcdef");
  Cursor(6, 0);
  view->Backspace();
  view->Backspace();
  view->Backspace();
  ASSERT_EQ(view->UndoStack().size(), 1u);
  EXPECT_EQ(view->UndoStack()[0].text, "def");
  Cursor(0, 0);
  view->DeleteForward();
  view->DeleteForward();
  ASSERT_EQ(view->UndoStack().size(), 2u);
  EXPECT_EQ(view->UndoStack()[1].text, "ab");
  view->Undo();
  view->Undo();
  EXPECT_EQ(Text(), "abcdef");
}

TEST_F(TextViewTest, DeletingASelectionAcrossWrappedRowsAndLines) {
  const std::string text = "first line\r\n" + std::string(40, 'w') + " tail\r\nlast";
  Load(text, 200);
  view->SetPosition(3, 0, false);
  view->SetPosition(2, view->LastRow(), true);
  const std::string selected = view->GetSelectedText();
  view->DeleteSelection(true, true);
  EXPECT_EQ(Text(), "first");
  ExpectRowInvariants("first");
  view->Undo();
  EXPECT_EQ(Text(), text);
  EXPECT_EQ(selected, text.substr(3, text.size() - 5));
  // Deleting everything leaves one empty row.
  view->SelectAll();
  view->DeleteSelection(true, true);
  EXPECT_EQ(view->LastRow(), 0);
  EXPECT_EQ(Text(), "");
  // Deleting to the end after a line end keeps an empty last row.
  Load("ab\r\ncd");
  view->SetPosition(0, 1, false);
  view->SetPosition(2, 1, true);
  view->DeleteSelection(true, true);
  EXPECT_EQ(Rows(), (RowList{"ab\r\n", ""}));
}

TEST_F(TextViewTest, DeleteLineRemovesARowOrAWholeHardLine) {
  const std::string text =
      "one\r\n" + std::string(30, 'x') + " " + std::string(10, 'y') + "\r\nthree";
  Load(text, 200);
  Cursor(0, 2);  // the wrapped second row of the long line
  EXPECT_TRUE(view->DeleteLine(true));
  EXPECT_EQ(Text(), "one\r\nthree");
  view->Undo();
  EXPECT_EQ(Text(), text);
  Cursor(0, view->LastRow());
  view->DeleteLine(false);
  EXPECT_EQ(Rows().back(), "");  // the removed last row stays as an empty last row
}

// Backspace at the start of a row after a line end takes that line end
// alone, and undo puts it back.
TEST_F(TextViewTest, BackspaceAfterALineEndTakesItAlone) {
  Load("abc\r\nx");
  Cursor(0, 1);
  view->Backspace();
  EXPECT_EQ(Text(), "abcx");
  view->Undo();
  EXPECT_EQ(Text(), "abc\r\nx");
}

TEST_F(TextViewTest, UndoBudgetDropsTheOldestAndRefusesOversizedRecords) {
  Cfg().MaxUndoLen = 100;
  Load("");
  view->InsertText(std::string(90, 'p'), true, true);  // 21 + 90 > 100
  EXPECT_FALSE(view->CanUndo());
  EXPECT_EQ(view->UndoHistoryBytes(), 0);
  Type("a b c d e f g ");  // records of 2 characters: 23 bytes each
  EXPECT_EQ(view->UndoHistoryBytes(), 4 * 23);
  EXPECT_EQ(view->UndoStack().size(), 4u);
  EXPECT_EQ(view->UndoStack().back().text, "g ");
}

TEST_F(TextViewTest, ALongSessionOfSmallEditsStaysCheap) {
  Cfg().MaxUndoLen = 2000;
  Load("");
  for (int i = 0; i < 200000; ++i) view->TypeChar(i % 7 ? 'a' : ' ');
  EXPECT_LE(view->UndoHistoryBytes(), 2000);
  EXPECT_GT(view->UndoStack().size(), 10u);
}

// The widest row's width is kept between edits; whatever the edit, it is the
// width of the widest row there is.
TEST_F(TextViewTest, TheDocumentWidthFollowsEveryEdit) {
  canvas.SetCharWidth('W', 16);
  view->SetFont(Font{});
  Load("aa\r\nbbbb\r\ncc\r\n");
  auto widest = [&] {
    int w = 0;
    for (int r = 0; r <= view->LastRow(); ++r) w = std::max(w, view->RowWidth(r));
    return w;
  };
  EXPECT_EQ(view->GetDocumentWidth(), 32);
  Cursor(2, 2);
  Type("xxxW");  // the row grows past the widest
  EXPECT_EQ(view->GetDocumentWidth(), 56);
  view->Backspace();  // the wide character goes: the row shrinks
  EXPECT_EQ(view->GetDocumentWidth(), 40);
  view->Undo();
  EXPECT_EQ(view->GetDocumentWidth(), widest());
  view->DeleteLine(false);  // the widest row goes
  EXPECT_EQ(view->GetDocumentWidth(), 32);
  view->Undo();
  EXPECT_EQ(view->GetDocumentWidth(), widest());
  Cursor(0, 0);
  Type(std::string(30, 'z'));  // wraps: the row is laid out again
  EXPECT_EQ(view->GetDocumentWidth(), widest());
  view->Clear();
  EXPECT_EQ(view->GetDocumentWidth(), 0);
}

class TextFileTest : public TextViewTest {
 protected:
  std::string Contents() const { return TempDir::Read(path_); }
  void Put(const std::string& bytes) const { TempDir::Write(path_, bytes); }
  TempDir temp_;
  std::string dir_ = temp_.path(), path_ = temp_.File("doc.txt");
};

TEST_F(TextFileTest, EveryByteValueRoundTripsUnderEveryBuiltInTable) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  all += all;
  Put(all);
  for (const CodeTable* table : {&WindowsTable(), &DosTable()}) {
    view = std::make_unique<TextView>(&canvas);
    view->SetCharTable(*table);
    view->LoadFromFile(path_);
    view->SaveToFile(path_);
    EXPECT_EQ(Contents(), all);
  }
}

TEST_F(TextFileTest, SavingWithAChosenLineEndConvertsEveryRowEnd) {
  Load("a\nb\rc\n\rd\r\ne");
  view->ChooseLineEnd("\r\n", 2, true);
  view->SaveToFile(path_);
  EXPECT_EQ(Contents(), "a\r\nb\r\nc\r\nd\r\ne");
  view->KeepLineEnds(true);
  view->SaveToFile(path_);
  EXPECT_EQ(Contents(), "a\nb\rc\n\rd\r\ne");
}

TEST_F(TextFileTest, WriteErrorsReachTheCaller) {
  Load("text");
  EXPECT_THROW(view->SaveToFile(dir_ + "/no/such/folder.txt"), IoError);
  if (access("/dev/full", W_OK) == 0) {
    Load(std::string(100000, 'x'));
    EXPECT_THROW(view->SaveToFile("/dev/full"), IoError);
  }
  EXPECT_THROW(view->LoadFromFile(dir_), IoError);  // a folder
}

// Loaded rows are the file's own bytes: a click right of the last row, whose
// last byte is the last of a page, finds the row's end without reading on.
TEST_F(TextFileTest, AClickRightOfARowEndingAPageStopsAtTheRowsEnd) {
  std::string text;
  for (int i = 0; i < 511; ++i) text += "aaaaaaa\n";
  text += "bbbbbbbb";
  ASSERT_EQ(text.size(), 4096u);
  Put(text);
  view->LoadFromFile(path_);
  view->MoveToPoint(5000, int64_t{511} * view->LineHeight() + 1, false, false);
  EXPECT_EQ(view->CursorRow(), 511);
  EXPECT_EQ(view->CursorColumn(), 8);
}

// Delete at the end of a wrapped row takes the line end that starts the next
// one (a blank that hangs past the edge ended the row), and reads nothing
// past that row, here the last byte of a page of the file.
TEST_F(TextFileTest, DeleteBeforeALineEndEndingAPageReadsNothingPastIt) {
  std::string text;
  for (int i = 0; i < 508; ++i) text += "aaaaaaa\n";
  text += "bbbb\n" + std::string(25, 'a') + " \n";  // 25 letters fill the 200 pixels
  ASSERT_EQ(text.size(), 4096u);
  Put(text);
  view->WrapWidth = 200;
  view->LoadFromFile(path_);
  ASSERT_EQ(view->GetRow(509), std::string(25, 'a') + " ");
  ASSERT_EQ(view->GetRow(510), "\n");
  Cursor(26, 509);
  EXPECT_TRUE(view->DeleteForward());
  EXPECT_EQ(Text(), text.substr(0, text.size() - 1));
}

TEST_F(TextViewTest, ChangingTheTableRemapsRowsAndUndoTexts) {
  Load("");
  view->SetCharTable(DosTable());
  Type("\x80\x81");  // shown as А and Б under the DOS table
  EXPECT_EQ(Text(), "\x80\x81");
  view->SetPosition(0, 0, false);
  view->SetPosition(1, 0, true);
  view->DeleteSelection(true, true);
  view->SealUndo();
  view->TypeChar('z');
  view->SetCharTable(WindowsTable());  // the same file bytes shown as Windows-1251
  const CodeTable bytesOf = InverseTable(DosTable());
  const char b80 = static_cast<char>(bytesOf[0x80]), b81 = static_cast<char>(bytesOf[0x81]);
  EXPECT_EQ(Text(), std::string(1, static_cast<char>(bytesOf['z'])) + b81);
  view->Undo();  // the replacement's texts were remapped with the rows
  EXPECT_EQ(Text(), std::string(1, b80) + b81);
}

// The room left follows every kind of edit, though the rows are summed only
// when the bound from the bytes added since leaves none; at the limit a key
// or an insertion changes nothing and says why.
TEST_F(TextViewTest, TheRoomLeftFollowsEveryEditAndTheLimitRefusesGrowth) {
  Load("one two three four five six\r\nseven eight nine\r\nten", 60);
  auto expectRoom = [&](const char* after) {
    SCOPED_TRACE(after);
    const int64_t length = static_cast<int64_t>(Text().size());
    view->SetLengthLimit(length);
    EXPECT_TRUE(view->HasRoomFor(0));
    EXPECT_FALSE(view->HasRoomFor(1));
    view->SetLengthLimit(length + 1);
    EXPECT_TRUE(view->HasRoomFor(1));
    view->SetLengthLimit(kMaxDocumentSize);
  };
  expectRoom("load");
  Cursor(3, 0);
  Type("xyz");
  expectRoom("typing");
  view->TypeChar('\r');
  expectRoom("a line end");
  view->SetPosition(0, 1, false);
  view->SetPosition(5, 1, true);
  view->DeleteSelection(true, true);
  expectRoom("a deletion");
  view->Backspace();
  expectRoom("Backspace");
  view->Undo();
  expectRoom("undo");
  view->Redo();
  expectRoom("redo");
  view->WrapWidth = 30;
  view->Relayout();
  expectRoom("a new wrap width");
  view->InsertText("more text", true, true);
  expectRoom("an insertion");

  const std::string before = Text();
  view->SetLengthLimit(static_cast<int64_t>(before.size()));
  view->TypeChar('q');
  EXPECT_TRUE(view->TakeLengthLimitReached());
  view->TypeChar('\r');
  EXPECT_TRUE(view->TakeLengthLimitReached());
  view->InsertText("q", true, true);
  EXPECT_TRUE(view->TakeLengthLimitReached());
  EXPECT_EQ(Text(), before);
  view->SetLengthLimit(static_cast<int64_t>(before.size()) + 1);
  view->TypeChar('q');  // one byte fits, a CR LF does not
  view->TypeChar('\r');
  EXPECT_EQ(Text().size(), before.size() + 1);
}

}  // namespace
}  // namespace prambus
