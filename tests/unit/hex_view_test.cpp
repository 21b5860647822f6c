// The hex view: codes in any base, digit entry and deletion, selection
// rules, columns, code text, undo records of kind 5 and search.
#include "views/hex_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "settings/settings.h"
#include "shell/data_info.h"
#include "shell/find_replace.h"
#include "shell/typed_number.h"
#include "support/temp_dir.h"
#include "support/test_canvas.h"
#include "views/hex_codes.h"

namespace prambus {
namespace {

class HexViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};
    Cfg().EffOtstupX = Cfg().EffOtstupY = 0;
    view = std::make_unique<HexView>(&canvas);
    view->SetViewWidth(800);
    view->SetViewHeight(400);
  }
  void Load(std::string_view bytes) { view->SetBytes(bytes); }
  std::string Bytes() const { return view->Data().ToString(); }
  void At(int offset, int digit) {
    view->MoveCursorToByte(offset);
    view->CursorDigit = view->AnchorDigit = static_cast<uint8_t>(digit);
  }
  void Type(std::string_view keys) {
    for (char c : keys) view->TypeChar(static_cast<uint8_t>(c));
  }
  // A key or a paste as the main window hands it over: a selection it
  // replaces is deleted first and the deletion sealed to join the edit.
  void ReplaceSelection() {
    const bool deleted = !view->GetSelectedText().empty();
    view->DeleteSelection(true, true);
    if (deleted) view->SealUndo();
  }
  void Key(char c) {
    if (view->HasSelection() && view->TypingReplacesSelection(static_cast<uint8_t>(c)))
      ReplaceSelection();
    view->TypeChar(static_cast<uint8_t>(c));
  }
  void Paste(std::string_view bytes) {
    if (view->HasSelection()) ReplaceSelection();
    view->InsertText(bytes, true, true);
  }
  // Digits from..to of the code at offset selected (to may be the code's end).
  void SelectDigits(int offset, int from, int to) {
    At(offset, from);
    for (int d = from; d < to; ++d) view->MoveRight(false, true);
  }
  TestCanvas canvas;
  std::unique_ptr<HexView> view;
};

TEST(HexCodes, DigitsInEveryBase) {
  EXPECT_EQ(DigitCount(255, 2), 8);
  EXPECT_EQ(DigitCount(255, 3), 6);
  EXPECT_EQ(DigitCount(255, 10), 3);
  EXPECT_EQ(DigitCount(255, 36), 2);
  EXPECT_EQ(DigitCount(4294967295u, 16), 8);
  EXPECT_EQ(DigitCount(4294967295u, 10), 10);
  EXPECT_EQ(DigitsOf(255, 36), "73");
  EXPECT_EQ(DigitsOf(10, 16, 2), "0A");
  // Bases outside 2..36 are taken as the nearest valid one, not looped on.
  EXPECT_EQ(DigitCount(255, 1), 8);
  EXPECT_EQ(DigitsOf(5, 0), "101");
  EXPECT_EQ(DigitsOf(71, 37), "1Z");
  EXPECT_EQ(ParseCodeText("414243", 16), "ABC");
  EXPECT_EQ(ParseCodeText("41 42\r\n43", 16), "ABC");
  EXPECT_EQ(ParseCodeText("A", 16), "\x0A");
  EXPECT_EQ(ParseCodeText("1FF", 16), "\x1F\x0F");
  EXPECT_EQ(ParseCodeText("4G", 16), "");
  EXPECT_EQ(ParseCodeText("256", 10), "");
  EXPECT_EQ(ParseCodeText("2561", 10), "");
  EXPECT_EQ(ParseCodeText("ff", 16), "\xFF");
}

// A code digit's cell is as wide as the widest digit of the base, 0 and
// the base's last digit included.
TEST(HexDigitWidth, TheWidestDigitOfTheBaseSetsTheCell) {
  Cfg() = Settings{};
  for (const char widest : {'0', 'F'}) {
    TestCanvas canvas;
    canvas.SetCharWidth(static_cast<uint8_t>(widest), 13);
    const HexView view(&canvas);
    EXPECT_EQ(view.CodeDigitWidth, 13) << widest;
  }
}

TEST_F(HexViewTest, DigitEntryOverwritesAndAppends) {
  view->SetInsertMode(false);
  Load("");
  Type("A");
  EXPECT_EQ(Bytes(), "\xA0");
  EXPECT_EQ(view->CursorDigit, 1);
  Type("5");
  EXPECT_EQ(Bytes(), "\xA5");
  EXPECT_EQ(view->CursorOffset(), 1);  // the code is complete
  Cfg().FirstZeroes = false;
  Load("");
  At(0, 0);
  Type("A");
  EXPECT_EQ(Bytes(), "\x0A");
  EXPECT_EQ(view->CursorDigit, 1);  // 16 x 10 fits: further digits extend it
  Type("5");
  EXPECT_EQ(Bytes(), "\xA5");
  EXPECT_EQ(view->CursorOffset(), 1);
  Load("\x05");
  At(0, 0);
  Type("0");
  EXPECT_EQ(Bytes(), std::string(1, '\0'));
  EXPECT_EQ(view->CursorDigit, 1);
  Type("7");
  EXPECT_EQ(Bytes(), "\x07");
}

// Codes shortened by a change of base take the caret's and the anchor's
// digit back to the code's end: a caret stays a caret, and a selection keeps
// its bytes.
TEST_F(HexViewTest, ShorterCodesTakeDigitPositionsBackToTheirEnd) {
  Cfg().FirstZeroes = false;
  Cfg().TextBaseSyst = 2;
  Load("\x05\xA5\x07");  // 101 10100101 111
  At(1, 6);
  Cfg().TextBaseSyst = 16;
  view->Relayout();
  EXPECT_EQ(view->CursorDigit, 2);
  EXPECT_EQ(view->AnchorDigit, 2);
  EXPECT_FALSE(view->HasSelection());
  Cfg().TextBaseSyst = 2;
  At(1, 6);
  view->SetPosition(0, 0, true);  // selected backwards to the first byte
  Cfg().TextBaseSyst = 16;
  view->Relayout();
  EXPECT_EQ(view->AnchorOffset(), 1);
  EXPECT_EQ(view->AnchorDigit, 2);
}

TEST_F(HexViewTest, DigitsThatDoNotFitAreRefused) {
  Cfg().TextBaseSyst = 10;
  Load("");
  Type("9");  // 900 > 255
  EXPECT_EQ(Bytes(), "");
  Cfg().TextBaseSyst = 16;
  Type("G");
  EXPECT_EQ(Bytes(), "");
}

TEST_F(HexViewTest, DeleteRemovesDigitsOrWholeBytes) {
  Load("\xA5\x05");
  At(0, 1);
  view->DeleteForward();
  EXPECT_EQ(Bytes(), "\x0A\x05");
  EXPECT_EQ(view->CursorDigit, 2);
  At(1, 1);
  view->DeleteForward();  // the rest reads 0 and the cursor stands after it
  EXPECT_EQ(Bytes(), "\x0A");
  Cfg().FirstZeroes = false;
  Load("\x07");
  At(0, 0);
  view->DeleteForward();
  EXPECT_EQ(Bytes(), "");
}

// What Backspace and Delete would take: the window asks before either key,
// and does nothing when there is nothing.
TEST_F(HexViewTest, TheDigitsBesideTheCursorAreWhatTheKeysWouldDelete) {
  Load("\x12\x34");
  struct Case {
    int offset, digit;
    const char *before, *after;
  };
  for (const Case& c : {Case{0, 0, "", "1"}, Case{0, 1, "1", "2"}, Case{1, 0, "2", "3"},
                        Case{1, 1, "3", "4"}, Case{2, 0, "4", ""}}) {
    At(c.offset, c.digit);
    EXPECT_EQ(view->GetAdjacentText(false), c.before) << c.offset << ":" << c.digit;
    EXPECT_EQ(view->GetAdjacentText(true), c.after) << c.offset << ":" << c.digit;
  }
  view->InCodes = false;  // in the character column, whole bytes
  At(1, 0);
  EXPECT_EQ(view->GetAdjacentText(false), "\x12");
  EXPECT_EQ(view->GetAdjacentText(true), "\x34");
  At(0, 0);
  EXPECT_EQ(view->GetAdjacentText(false), "");
  At(2, 0);
  EXPECT_EQ(view->GetAdjacentText(true), "");
}

TEST_F(HexViewTest, SelectionsDeleteDigitsOrBytes) {
  Load("\xA5\x01\x02\x03\x04\x05\x06");
  At(0, 1);
  view->CursorDigit = 2;  // digits 1..2 of the first code
  view->DeleteSelection(true, true);
  EXPECT_EQ(static_cast<uint8_t>(Bytes()[0]), 0x0A);
  At(3, 0);
  view->SetPosition(6 % 16, 0, true);  // byte 6, digit 0
  EXPECT_EQ(view->GetSelectedText(), "\x03\x04\x05");
  view->DeleteSelection(true, true);
  EXPECT_EQ(Bytes().size(), 4u);
  view->Undo();
  EXPECT_EQ(Bytes().size(), 7u);
}

TEST_F(HexViewTest, ShiftMovesTreatTheCodeEndAsTheNextStart) {
  Load("\x11\x22\x33");
  At(0, 1);
  view->MoveRight(false, true);  // from the last digit: to digit 0 of the next byte
  EXPECT_EQ(view->CursorOffset(), 1);
  EXPECT_EQ(view->GetSelectedText(), "\x11");
  view->MoveLeft(false, true);
  EXPECT_FALSE(view->HasSelection());
  // Tab switches the area and keeps the selection.
  At(0, 0);
  view->MoveRight(true, true);
  view->TypeChar(9);
  EXPECT_TRUE(view->HasSelection());
  EXPECT_FALSE(view->InCodes);
}

// Left from a code's first digit stands on the last digit of the code
// before, whatever the lengths of the codes around it.
TEST_F(HexViewTest, LeftReachesTheLastDigitOfTheCodeBefore) {
  Cfg().FirstZeroes = false;
  Load("\x07\xA5\x3C\x07");
  At(2, 0);
  view->MoveLeft(false, false);
  EXPECT_EQ(view->CursorOffset(), 1);
  EXPECT_EQ(view->CursorDigit, 1);
  At(1, 0);
  view->MoveLeft(false, false);
  EXPECT_EQ(view->CursorOffset(), 0);
  EXPECT_EQ(view->CursorDigit, 0);
}

// Going to a byte (the data window) stands on its first digit, with nothing
// selected.
TEST_F(HexViewTest, GoingToAByteStandsOnItsFirstDigit) {
  Load("\x11\x22\x33\x44");
  SelectDigits(1, 0, 1);
  view->MoveCursorToByte(2);
  EXPECT_EQ(view->CursorOffset(), 2);
  EXPECT_EQ(view->CursorDigit, 0);
  EXPECT_FALSE(view->HasSelection());
  EXPECT_EQ(view->GetSelectedText(), "");
}

TEST_F(HexViewTest, VerticalMovesAndEnds) {
  Cfg().FirstZeroes = false;
  Load(std::string("\x07") + std::string(15, 'x') + "\xA5" + std::string(15, 'y') + "\x3C");
  At(16, 1);  // digit 1 of A5
  int d = -1;
  view->MoveUp(false, false, d);
  EXPECT_EQ(view->CursorDigit, 0);  // onto the one-digit code 7
  At(16, 1);
  view->MoveDown(false, false, d);
  EXPECT_EQ(view->CursorDigit, 1);  // onto 3C it stays
  At(0, 0);
  view->MoveEnd(false);
  EXPECT_EQ(view->CursorColumn(), 15);
  EXPECT_EQ(view->CursorDigit, 2);
  At(32, 0);
  view->MoveEnd(false);  // the last, partial row: the end position
  EXPECT_EQ(view->CursorOffset(), 33);
  At(20, 1);  // down from a column the partial row lacks: its end
  view->MoveDown(false, false, d);
  EXPECT_EQ(view->CursorOffset(), 33);
  EXPECT_EQ(view->CursorDigit, 0);
  At(32, 1);  // down from the last row: nothing moves
  view->MoveDown(false, false, d);
  EXPECT_EQ(view->CursorOffset(), 32);
  EXPECT_EQ(view->CursorDigit, 1);
}

// A page down that lands exactly on the end position (just past the last
// byte) stands on its first digit; there is no code there to keep a digit of.
TEST_F(HexViewTest, PageDownOntoTheEndPositionStandsOnItsFirstDigit) {
  Cfg().FirstZeroes = false;
  int d = -1;
  Load(std::string(100000, '\xA5'));
  At(5, 1);
  view->PageDown(false, d);
  const int landed = view->CursorOffset();
  ASSERT_GT(landed, 5);
  ASSERT_EQ(view->CursorDigit, 1);
  Load(std::string(static_cast<size_t>(landed), '\xA5'));
  At(5, 1);
  view->PageDown(false, d);
  EXPECT_EQ(view->CursorOffset(), landed);
  EXPECT_EQ(view->CursorDigit, 0);
}

TEST_F(HexViewTest, AKeyOverSelectedDigitsTakesTheirPlaceInTheSameByte) {
  for (const bool firstZeroes : {true, false}) {
    Cfg().FirstZeroes = firstZeroes;
    for (const bool insert : {true, false}) {
      view->SetInsertMode(insert);
      Load("\x01\xA5");
      SelectDigits(1, 0, 1);  // the A of A5
      Key('7');
      EXPECT_EQ(Bytes(), "\x01\x75");
      EXPECT_EQ(view->CursorOffset(), 1);
      EXPECT_EQ(view->CursorDigit, 1);  // after the typed digit
      view->Undo();
      EXPECT_EQ(Bytes(), "\x01\xA5");  // one step, byte 0 untouched
      view->Redo();
      EXPECT_EQ(Bytes(), "\x01\x75");
      EXPECT_EQ(view->CursorDigit, 1);
      Load("\x01\xA5");
      SelectDigits(1, 1, 2);  // the 5: the selection ends at digit 0 past the code
      Key('7');
      EXPECT_EQ(Bytes(), "\x01\xA7");
      Load("\x01\xA5");
      SelectDigits(1, 0, 1);
      Paste("xy");  // pasted bytes take the place of the byte
      EXPECT_EQ(Bytes(), "\x01xy");
      view->Undo();
      EXPECT_EQ(Bytes(), "\x01\xA5");
    }
  }
  // Without FirstZeroes the zeros after a selected leading digit stay.
  Cfg().FirstZeroes = false;
  Cfg().TextBaseSyst = 10;
  Load("\x69");  // 105
  SelectDigits(0, 0, 1);
  Key('2');
  EXPECT_EQ(Bytes(), "\xCD");  // 205
  // Selected backwards (cursor before the anchor) it is the same.
  Cfg().FirstZeroes = true;
  Cfg().TextBaseSyst = 16;
  Load("\xA5");
  At(0, 1);
  view->MoveLeft(false, true);
  Key('7');
  EXPECT_EQ(Bytes(), "\x75");
  // Across a byte boundary, from digit 1 to digit 1 of the next byte, both ways.
  std::string typed[2];
  for (const bool backwards : {false, true}) {
    Load("\x12\x34\x56");
    At(backwards ? 1 : 0, 1);
    for (int d = 0; d < 2; ++d)
      backwards ? view->MoveLeft(false, true) : view->MoveRight(false, true);
    Key('7');
    typed[backwards] = Bytes();
  }
  EXPECT_EQ(typed[1], typed[0]);
}

TEST_F(HexViewTest, TypingOverSelectedCharactersReplacesExactlyThem) {
  view->SetInsertMode(false);
  Load("ABCDE");
  view->InCodes = false;
  At(1, 0);
  view->MoveRight(false, true);
  view->MoveRight(false, true);
  Key('x');
  EXPECT_EQ(Bytes(), "AxDE");
  view->Undo();
  EXPECT_EQ(Bytes(), "ABCDE");
}

TEST_F(HexViewTest, ARefusedKeyKeepsTheSelection) {
  Load("\x01\xA5");
  SelectDigits(1, 0, 1);
  Key('G');  // no digit of base 16
  EXPECT_EQ(Bytes(), "\x01\xA5");
  EXPECT_TRUE(view->HasSelection());
  EXPECT_FALSE(view->CanUndo());
  Cfg().TextBaseSyst = 10;
  Load("\x9B");  // 155
  SelectDigits(0, 0, 1);
  Key('3');  // 355 does not fit a byte
  EXPECT_EQ(Bytes(), "\x9B");
  EXPECT_TRUE(view->HasSelection());
  Load("ab");
  view->MoveRight(true, true);
  Key('9');  // a new code 900
  EXPECT_EQ(Bytes(), "ab");
  EXPECT_TRUE(view->HasSelection());
}

TEST_F(HexViewTest, DigitPositionsStayInsideTheCodeUnderTheCursor) {
  Cfg().FirstZeroes = false;
  Cfg().HexColumns = 2;
  Load(std::string("\xFF\x00\xFF\x23\x64\x07", 6));
  At(5, 1);               // after the 7
  view->TypeChar(9);      // the character area keeps the digit
  view->DeleteForward();  // removes the last byte: the end position
  view->TypeChar(9);
  EXPECT_EQ(view->CursorDigit, 0);
  int d = -1;
  view->MoveUp(false, false, d);  // onto 64: after its last digit at most
  EXPECT_EQ(view->CursorOffset(), 3);
  EXPECT_LE(view->CursorDigit, 2);
  view->Backspace();
  EXPECT_EQ(Bytes(), std::string("\xFF\x00\xFF\x02\x64", 5));  // a digit of 23 only
}

TEST_F(HexViewTest, BackspaceRecordsWhereItLeftTheCursor) {
  Load("\x15");
  At(0, 1);
  view->Backspace();  // "15" loses its 1: 05, the cursor before the zeros
  EXPECT_EQ(Bytes(), "\x05");
  EXPECT_EQ(view->CursorDigit, 0);
  view->Undo();
  EXPECT_EQ(view->CursorDigit, 1);
  view->Redo();
  EXPECT_EQ(view->CursorDigit, 0);
  // In base 2 a code has eight digits: the record holds digit 7 too.
  Cfg().TextBaseSyst = 2;
  Load("\x15\x15");
  At(0, 7);
  view->Backspace();
  view->Undo();
  EXPECT_EQ(Bytes(), "\x15\x15");
  EXPECT_EQ(view->CursorDigit, 7);
}

TEST_F(HexViewTest, EndInTheCharacterAreaStaysInTheRow) {
  Load(std::string(40, 'a'));
  view->InCodes = false;
  At(3, 0);
  view->MoveEnd(false);
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_EQ(view->CursorColumn(), 16);  // after the row's last character, as a click there
  EXPECT_FALSE(view->HasSelection());
  Type("b");
  EXPECT_EQ(Bytes()[16], 'b');
  At(35, 0);
  view->MoveEnd(false);  // the last, partial row
  EXPECT_EQ(view->CursorOffset(), 41);
}

TEST_F(HexViewTest, ColumnsAreClampedAndKeepTheCursorByte) {
  Load(std::string(100, 'z'));
  At(37, 0);
  view->SetColumns(10);
  EXPECT_EQ(view->CursorRow(), 3);
  EXPECT_EQ(view->CursorColumn(), 7);
  view->SetColumns(1);
  EXPECT_EQ(Cfg().HexColumns, 2);
  view->SetColumns(5000);
  EXPECT_EQ(Cfg().HexColumns, 999);
  Load(std::string(16, 'a'));
  Cfg().HexColumns = 16;
  view->Relayout();
  EXPECT_EQ(view->RowCount(), 2);  // a full row and the row of the end position
}

TEST_F(HexViewTest, CodeTextCopiesWithSeparatorsAndPastes) {
  std::string bytes;
  for (int i = 0; i < 20; ++i) bytes += static_cast<char>(i);
  Load(bytes);
  view->SelectAll();
  view->MoveCursorToByte(0);
  view->SetPosition(20 % 16, 1, true);
  view->SetPosition(0, 0, false);
  EXPECT_EQ(view->CodeTextOfSelection(),
            "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r10 11 12 13 ");
  Load("");
  EXPECT_TRUE(view->PasteCodeText("41 42\r\n43"));
  EXPECT_EQ(Bytes(), "ABC");
  EXPECT_FALSE(view->PasteCodeText("4G"));
  // The window is told which base the codes were looked for in, to say so.
  int refusedIn = 0;
  view->codeTextRefused = [&](int base) { refusedIn = base; };
  EXPECT_FALSE(view->PasteCodeText("Hello"));
  EXPECT_EQ(refusedIn, 16);
  EXPECT_EQ(Bytes(), "ABC");
  EXPECT_EQ(CodeTextRefusal(16),
            "Я не вставил текст в виде кода: в нём должны быть только коды байтов в "
            "шестнадцатеричной записи, от 0 до FF, разделённые пробелами или переводами строки.");
}

TEST_F(HexViewTest, UndoRestoresBytesCursorDigitAndArea) {
  view->SetInsertMode(false);
  Load("\x12\x34");
  At(1, 1);
  Type("F");
  EXPECT_EQ(Bytes(), "\x12\x3F");
  view->Undo();
  EXPECT_EQ(Bytes(), "\x12\x34");
  EXPECT_EQ(view->CursorOffset(), 1);
  EXPECT_EQ(view->CursorDigit, 1);
  EXPECT_TRUE(view->InCodes);
  view->Redo();
  EXPECT_EQ(Bytes(), "\x12\x3F");
  EXPECT_EQ(view->CursorOffset(), 2);
  // A character typed over a byte in the character area.
  Load("abc");
  view->InCodes = false;
  At(1, 0);
  Type("x");
  EXPECT_EQ(Bytes(), "axc");
  view->Undo();
  EXPECT_EQ(Bytes(), "abc");
  EXPECT_EQ(view->CursorOffset(), 1);
  EXPECT_FALSE(view->InCodes);
}

TEST_F(HexViewTest, FindTakesTheEarlierOfTextAndCodeMatches) {
  Load("xx\x41yy41");
  int limit = 1000000;
  EXPECT_TRUE(view->FindText("41", limit, false, true));
  EXPECT_EQ(view->CursorOffset(), 2);  // the byte 41 comes before the characters "41"
  EXPECT_TRUE(view->FindText("41", limit, true, true));
  EXPECT_EQ(view->CursorOffset(), 5);
  Load("x41y\x41");
  limit = 1000000;
  EXPECT_TRUE(view->FindText("41", limit, false, true));
  EXPECT_EQ(view->CursorOffset(), 1);  // and here the characters come first
  view->SearchAs = 2;
  Load("zz");
  limit = 1000000;
  EXPECT_FALSE(view->FindText("zz", limit, false, true));  // "zz" is no code list
  // Codes only: the characters "41" are passed over, the byte is found; text
  // only: the other way round.
  Load("41x\x41");
  limit = 1000000;
  EXPECT_TRUE(view->FindText("41", limit, false, true));
  EXPECT_EQ(view->CursorOffset(), 3);
  view->SearchAs = 1;
  Load(
      "x\x41"
      "41");
  limit = 1000000;
  EXPECT_TRUE(view->FindText("41", limit, false, true));
  EXPECT_EQ(view->CursorOffset(), 2);
}

// After an edit in the middle the bytes lie on both sides of the storage's
// gap: a search, the row across it, the selection, the data window, a save
// and an undo all see them in order.
TEST_F(HexViewTest, AnEditInTheMiddleLeavesEveryReaderTheBytesInOrder) {
  Cfg().HexColumns = 8;
  Load("0123456789neeXdle0123");
  view->InCodes = false;
  At(14, 0);
  view->Backspace();  // "X" goes: the gap is now inside "needle"
  const std::string bytes = "0123456789needle0123";
  ASSERT_EQ(Bytes(), bytes);
  EXPECT_EQ(view->GetRow(1), "89needle");
  EXPECT_EQ(view->GetRow(2), "0123");
  int limit = 1000000;
  ASSERT_TRUE(view->FindText("NEEDLE", limit, false, false));
  EXPECT_EQ(view->CursorOffset(), 10);
  EXPECT_EQ(view->GetSelectedText(), "needle");
  EXPECT_EQ(DataValueText(3, view->Data(), 11), std::to_string('e' | 'e' << 8));
  TempDir dir;
  view->SaveToFile(dir.File("saved.bin"));
  EXPECT_EQ(TempDir::Read(dir.File("saved.bin")), bytes);
  view->Undo();
  EXPECT_EQ(Bytes(), "0123456789neeXdle0123");
}

// A match that runs past the right edge scrolls into view whole when it
// fits, in the code area and in the character column alike.
TEST_F(HexViewTest, AFoundMatchScrollsIntoViewWhole) {
  Load(std::string(12, 'x') + "abcd");
  auto caretAt = [&](int col) {
    view->SetPosition(col, 0, false);
    view->SetPosition(col, 0, true);
    return view->GetCaretPoint().x + view->ScrollX();
  };
  const int W = 2 * view->CodeDigitWidth;
  const int first = caretAt(0), start = caretAt(12), end = caretAt(15) + W;
  view->SetViewWidth(end - 10);  // the last code is cut
  int limit = 1000000;
  ASSERT_TRUE(view->FindText("abcd", limit, false, true));
  EXPECT_LE(end - view->ScrollX(), view->ViewWidth());  // the last code shows whole
  EXPECT_GE(start - view->ScrollX(), first - 1);        // and the first still does
  // A view that ends where the match does shows it already; one a pixel
  // narrower scrolls.
  for (const int narrower : {0, 1}) {
    view->SetScrollX(0);
    view->SetViewWidth(end - narrower);
    limit = 1000000;
    ASSERT_TRUE(view->FindText("abcd", limit, false, true));
    EXPECT_EQ(view->ScrollX() > 0, narrower == 1) << narrower;
  }
  // Too wide for the view: its start shows, as after any move.
  view->SetScrollX(0);
  view->SetViewWidth(start - first + W);
  limit = 1000000;
  ASSERT_TRUE(view->FindText("abcd", limit, false, true));
  EXPECT_GE(view->GetCaretPoint().x, first - 1);
  EXPECT_LE(view->GetCaretPoint().x, first + view->ViewWidth());
  // In the character column: the match's last cell comes into view.
  view->SetViewWidth(800);
  view->SetScrollX(0);
  At(0, 0);
  view->TypeChar(9);
  ASSERT_FALSE(view->InCodes);
  const Rect column = view->CharacterColumn();
  view->SetViewWidth(column.left + 14 * view->CodeDigitWidth);
  limit = 1000000;
  ASSERT_TRUE(view->FindText("abcd", limit, false, true));
  EXPECT_LE(column.left + 16 * view->CodeDigitWidth - view->ScrollX(), view->ViewWidth());
}

// Each column number stands centred over its column of codes (the cell and
// half the gap on either side).
TEST_F(HexViewTest, ColumnNumbersAreCentredOverTheirColumns) {
  Load(std::string(64, 'x'));  // codes "78"
  canvas.ClearRecords();
  view->Paint();
  int top = INT_MAX, firstRow = INT_MAX;
  for (const DrawnText& t : canvas.texts) top = std::min(top, t.y);
  for (const DrawnText& t : canvas.texts)
    if (t.y > top) firstRow = std::min(firstRow, t.y);
  std::vector<DrawnText> numbers, digits;
  for (const DrawnText& t : canvas.texts) {
    if (t.y == top && t.text.size() == 1) numbers.push_back(t);
    if (t.y == firstRow && (t.text == "7" || t.text == "8")) digits.push_back(t);
  }
  const int n = Cfg().HexColumns, dw = view->CodeDigitWidth;
  ASSERT_EQ(static_cast<int>(numbers.size()), n);
  ASSERT_EQ(static_cast<int>(digits.size()), 2 * n);
  const auto byX = [](const DrawnText& a, const DrawnText& b) { return a.x < b.x; };
  std::sort(numbers.begin(), numbers.end(), byX);
  std::sort(digits.begin(), digits.end(), byX);
  const int pitch = digits[2].x - digits[0].x, gap = pitch - 2 * dw;
  for (int j = 0; j < n; ++j) {
    const int cellLeft = digits[2 * j].x;
    const int centre = cellLeft - gap / 2 + pitch / 2;
    const int w = canvas.TextWidth(numbers[j].text);
    EXPECT_NEAR(numbers[j].x + w / 2, centre, 1) << j;
  }
}

// The caret's pixel column must be inside the view: standing on the pixel
// just past its right edge, it is scrolled in.
TEST_F(HexViewTest, ACaretOnTheRightEdgeIsScrolledIntoView) {
  Load(std::string(16, 'x'));
  view->SetPosition(10, 0, true);
  const int x = view->GetCaretPoint().x;  // nothing scrolled yet
  for (const int wider : {1, 0}) {
    view->SetPosition(0, 0, true);
    view->SetScrollX(0);
    view->SetViewWidth(x + wider);
    view->SetPosition(10, 0, true);
    EXPECT_EQ(view->ScrollX() > 0, wider == 0) << wider;
  }
}

TEST_F(HexViewTest, ReplacingInTheSelectionKeepsMatchesWhollyInside) {
  Load("ab ab ab");
  At(0, 0);
  view->SetPosition(5, 0, true);  // "ab ab"
  ReplaceSession r;
  r.options.find = "ab";
  r.options.replace = "x";
  r.Show(view->HasSelection());
  std::string message;
  EXPECT_EQ(r.ReplaceAll(*view, message), 2);
  EXPECT_EQ(Bytes(), "x x ab");
  Load("x ab ab");  // from the start, a match that ends with the selection
  At(0, 0);
  view->SetPosition(4, 0, true);
  r.Show(view->HasSelection());
  EXPECT_EQ(r.ReplaceAll(*view, message), 1);
  EXPECT_EQ(Bytes(), "x x ab");
  Load("ab ab ab");
  At(3, 0);
  view->SetPosition(4, 0, true);  // "a": the match starting there does not fit
  r.Show(view->HasSelection());
  EXPECT_FALSE(r.FindNext(*view, message));
  // From the cursor, a match right at the cursor is found.
  Load("abab");
  At(2, 1);
  r.options.start = StartFrom::kCursor;
  r.Reset();
  EXPECT_TRUE(r.FindNext(*view, message));
  EXPECT_EQ(view->CursorOffset(), 2);
}

// Between two bytes the painted selection is the bytes a copy or deletion
// takes; within one byte, the digits between cursor and anchor.
// The separator line and the margin are as wide as the settings' millimetres
// at the canvas's resolution, rounded to whole pixels, less one (never less
// than none): the document grows by exactly those pixels.
TEST_F(HexViewTest, SeparatorWidthsAreMillimetresAtTheCanvasResolution) {
  Load("abc");
  auto sizeWith = [&](double line, double margin, int dpi) {
    canvas.dpi = dpi;
    Cfg().LineWidth = line;
    Cfg().MarginWidth = margin;
    view->UpdateLineWidths();
    return std::pair{view->GetDocumentHeight(), view->GetDocumentWidth()};
  };
  const auto [h0, w0] = sizeWith(0, 0, 96);
  const auto [h1, w1] = sizeWith(1.0, 0, 96);  // 3.78 px: 4, less one
  EXPECT_EQ(h1 - h0, 3);
  EXPECT_EQ(w1 - w0, 3);
  const auto [h2, w2] = sizeWith(0.5, 1.0, 96);  // 1.89 px: 2, less one; the margin 3
  EXPECT_EQ(h2 - h0, 1);
  EXPECT_EQ(w2 - w0, 1 + 3);
  const auto [h3, w3] = sizeWith(1.0, 0.3, 192);  // 7.56 px: 8, less one; 2.27 px: 2, less one
  EXPECT_EQ(h3 - h0, 7);
  EXPECT_EQ(w3 - w0, 7 + 1);
  const auto [h4, w4] = sizeWith(0.1, 0.1, 96);  // 0.38 px: none
  EXPECT_EQ(h4, h0);
  EXPECT_EQ(w4, w0);
}

TEST_F(HexViewTest, PaintingSelectsWholeCellsAndDigits) {
  Load("\x01\x02\x03");
  // The codes' digits of the first row (after its offset), each drawn on its
  // own, the selected ones opaque.
  auto painted = [&] {
    canvas.ClearRecords();
    view->Paint();
    std::string digits, selected;
    for (const auto& t : canvas.texts)
      if (t.y == canvas.texts.back().y && t.x < view->CharacterColumn().left) {
        digits += t.text;
        selected += t.opaque ? '1' : '0';
      }
    return digits.substr(digits.size() - 6) + " " + selected.substr(selected.size() - 6);
  };
  auto selectedBytes = [&] {
    int lo = 0, hi = 0;
    view->SelectedRange(lo, hi);
    std::string digits = "000000";
    for (int b = lo; b < hi; ++b) digits[2 * b] = digits[2 * b + 1] = '1';
    return "010203 " + digits;
  };
  SelectDigits(0, 1, 3);  // up to the start of byte 2
  EXPECT_EQ(painted(), "010203 111100");
  EXPECT_EQ(painted(), selectedBytes());
  At(2, 1);  // backwards from digit 1 of byte 2
  for (int d = 0; d < 4; ++d) view->MoveLeft(false, true);
  EXPECT_EQ(painted(), "010203 111111");
  EXPECT_EQ(painted(), selectedBytes());
  SelectDigits(1, 0, 1);  // one digit
  EXPECT_EQ(painted(), "010203 001000");
  SelectDigits(1, 1, 2);  // the last digit, up to the next code's start
  EXPECT_EQ(painted(), "010203 000100");
  At(2, 0);  // the same digit, selected backwards
  view->MoveLeft(false, true);
  EXPECT_EQ(painted(), "010203 000100");
}

// Every byte has one cell of the code digit's width in the character column,
// whatever its glyph's width: the caret, a click and the drawing agree, and
// a character without a glyph shows as a dot in the coordinates' colour.
TEST_F(HexViewTest, TheCharacterColumnHasOneCellPerByte) {
  canvas.SetCharWidth(0, 0);     // NUL measures nothing
  canvas.SetCharWidth('E', 14);  // a glyph wider than a cell
  Load(std::string("\x7F\x45\x4C\x46\x02\x01\x01\x00\x0D\x0A", 10));
  const Rect column = view->CharacterColumn();
  const int dw = view->CodeDigitWidth;
  EXPECT_EQ(column.right - column.left, Cfg().HexColumns * dw);
  canvas.ClearRecords();
  view->Paint();
  std::vector<DrawnText> chars;
  for (const DrawnText& t : canvas.texts)
    if (t.x >= column.left - dw && t.y > 2) chars.push_back(t);  // below the header
  ASSERT_EQ(chars.size(), 10u);
  const std::string shown = ".ELF......";
  for (int i = 0; i < 10; ++i) {
    const int w = canvas.TextWidth(chars[i].text);
    EXPECT_EQ(chars[i].text, shown.substr(i, 1)) << i;
    EXPECT_EQ(chars[i].x, column.left + i * dw + (dw - w) / 2) << i;
    EXPECT_EQ(chars[i].fontColor, shown[i] == '.' ? Cfg().CoordColor : 0u) << i;
  }
  // Tab into the character area; the caret stands at the cell's left edge.
  view->TypeChar(9);
  for (int col = 0; col <= 10; ++col) {
    view->SetPosition(col, 0, true);
    EXPECT_NEAR(view->GetCaretPoint().x, column.left + col * dw, 1) << col;
  }
  // A click left of a cell's middle is before it, right of the middle after it.
  const int top = view->GetCaretArea().top + 2;
  view->MoveToPoint(column.left + 5 * dw + dw / 2 - 1, top, true, false);
  EXPECT_EQ(view->CursorColumn(), 5);
  view->MoveToPoint(column.left + 5 * dw + dw / 2 + 2, top, true, false);
  EXPECT_EQ(view->CursorColumn(), 6);
  view->MoveToPoint(column.left + dw / 2 + 2, top, true, false);  // the first cell likewise
  EXPECT_EQ(view->CursorColumn(), 1);
  view->MoveToPoint(column.left + dw / 2 - 1, top, true, false);
  EXPECT_EQ(view->CursorColumn(), 0);
  EXPECT_FALSE(view->InCodes);
  // Selected cells get the selection's background, cell by cell.
  view->SetPosition(2, 0, false);
  view->SetPosition(4, 0, true);
  canvas.ClearRecords();
  view->Paint();
  bool filled = false;
  for (const DrawnRect& r : canvas.rects)
    filled |= r.color == Cfg().ChosenFonClr && r.rect.left == column.left + 2 * dw &&
              r.rect.right == column.left + 4 * dw;
  EXPECT_TRUE(filled);
  // Only the selected cells: the rows after the selection get none.
  Load(std::string(Cfg().HexColumns * 3, 'A'));
  view->SetPosition(2, 0, false);
  view->SetPosition(4, 0, true);
  canvas.ClearRecords();
  view->Paint();
  int selectedFills = 0;
  for (const DrawnRect& r : canvas.rects)
    selectedFills += r.color == Cfg().ChosenFonClr && r.rect.left >= column.left;
  EXPECT_EQ(selectedFills, 1);
}

// A click in the codes rounds to the nearest digit boundary: left of a
// digit's middle is before it, from the middle on after it, and the end of
// a code is the start of the next. A click one pixel above a row still hits
// it, so a point on the line between two rows goes to the lower one.
TEST_F(HexViewTest, AClickInTheCodesRoundsToTheNearestDigitAndRow) {
  Load(std::string(40, '\x12'));
  view->SetPosition(0, 1, true);
  const int codeLeft = view->GetCaretPoint().x, rowTop = view->GetCaretPoint().y;
  const int dw = view->CodeDigitWidth;
  struct Click {
    int x, col, digit;
  };
  for (const Click c :
       {Click{codeLeft + dw / 2 - 1, 0, 0}, Click{codeLeft + dw / 2, 0, 1},
        Click{codeLeft + dw + dw / 2 - 1, 0, 1}, Click{codeLeft + dw + dw / 2, 1, 0}}) {
    view->MoveToPoint(c.x, rowTop + 2, false, false);
    EXPECT_EQ(view->CursorColumn(), c.col) << c.x - codeLeft;
    EXPECT_EQ(view->CursorDigit, c.digit) << c.x - codeLeft;
    EXPECT_TRUE(view->InCodes);
  }
  view->MoveToPoint(codeLeft, rowTop - 1, false, false);
  EXPECT_EQ(view->CursorRow(), 1);
  view->MoveToPoint(codeLeft, rowTop - 2, false, false);
  EXPECT_EQ(view->CursorRow(), 0);
}

// Scrolling right in the character area shows HScrollStep cells past the
// caret, or the row's end when only its last cell would stay hidden.
TEST_F(HexViewTest, ScrollingInTheCharacterAreaShowsTheRowsEndWhenNearIt) {
  ASSERT_EQ(Cfg().HexColumns, 16);
  ASSERT_EQ(Cfg().HScrollStep, 4);
  auto scrollFor = [&](int col) {
    view = std::make_unique<HexView>(&canvas);
    view->SetViewWidth(300);
    view->SetViewHeight(400);
    Load(std::string(40, '\x12'));
    view->TypeChar(9);
    view->SetPosition(5, 0, true);  // scrolled on once
    view->SetPosition(col, 0, true);
    return view->ScrollX();
  };
  const int rowEnd = scrollFor(16);
  EXPECT_EQ(scrollFor(11), rowEnd);  // 11 + 4 cells: all but the last
  EXPECT_EQ(scrollFor(10), rowEnd - 2 * view->CodeDigitWidth);
}

// A refused digit or a Tab between the areas changes nothing: the revision
// stays, and the document stays unmodified. Every edit moves it.
TEST_F(HexViewTest, OnlyAChangeMovesTheRevision) {
  Load("\x12");
  uint64_t seen = view->Revision();
  auto moved = [&] {
    const bool m = view->Revision() != seen;
    seen = view->Revision();
    return m;
  };
  Type("G");  // not a digit of base 16
  view->TypeChar(9);
  view->TypeChar(9);
  At(1, 0);
  EXPECT_FALSE(view->DeleteForward());  // Delete at the end
  EXPECT_FALSE(moved());
  Type("A");
  EXPECT_TRUE(moved());
  At(0, 0);
  view->SetPosition(1, 0, true);
  view->DeleteSelection(true, true);
  EXPECT_TRUE(moved());
  view->SealUndo();
  Type("B");  // joins the sealed deletion: a change all the same
  EXPECT_TRUE(moved());
  view->WriteAtCursor("\x01\x02");
  EXPECT_TRUE(moved());
  view->Undo();
  EXPECT_TRUE(moved());
}

TEST(DataWindowValues, ReadLittleEndianAndNeverPastTheEnd) {
  const std::vector<uint8_t> b = {0x01, 0x02, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  EXPECT_EQ(DataValueText(3, b, 0), "513");
  EXPECT_EQ(DataValueText(3, b, 2), "65535");
  EXPECT_EQ(DataValueText(4, b, 2), "-1");
  EXPECT_EQ(DataValueText(8, b, 4), "1");
  EXPECT_EQ(DataValueText(1, b, 11), "63");
  EXPECT_EQ(DataValueText(3, b, 11), "???");  // on the last byte only 8 bits fit
  EXPECT_EQ(DataValueText(7, b, 5), "???");
  EXPECT_EQ(DataValueText(0, b, 7), "7");
  // Infinities are written as the number search reads them; only a NaN has
  // no text.
  const std::vector<uint8_t> inf = {0, 0, 0, 0, 0, 0, 0xF0, 0x7F, 0, 0, 0, 0, 0, 0, 0xF0, 0xFF};
  EXPECT_EQ(DataValueText(8, inf, 0), "inf");
  EXPECT_EQ(DataValueText(8, inf, 8), "-inf");
  const std::vector<uint8_t> nan = {0, 0, 0, 0, 0, 0, 0xF8, 0x7F};
  EXPECT_EQ(DataValueText(8, nan, 0), " ???");
}

TEST(DataWindowValues, TypedValuesAreCheckedAndBecomeBytes) {
  std::string out;
  EXPECT_FALSE(ParseDataValue(1, "300", out));
  EXPECT_FALSE(ParseDataValue(0, "0", out));  // no such type
  EXPECT_FALSE(ParseDataValue(9, "0", out));
  EXPECT_TRUE(ParseDataValue(2, "-1", out));
  EXPECT_EQ(out, "\xFF");
  EXPECT_FALSE(ParseDataValue(5, "4294967296", out));
  EXPECT_FALSE(ParseDataValue(5, "-1", out));
  EXPECT_TRUE(ParseDataValue(5, "4294967295", out));  // the largest unsigned 32-bit value
  EXPECT_EQ(out, "\xFF\xFF\xFF\xFF");
  EXPECT_TRUE(ParseDataValue(5, "0", out));
  EXPECT_EQ(out, std::string(4, '\0'));
  EXPECT_TRUE(ParseDataValue(8, "1", out));
  EXPECT_EQ(out, std::string("\0\0\0\0\0\0\xF0\x3F", 8));
  EXPECT_FALSE(ParseDataValue(3, "abc", out));
  // A double takes a point or a comma, whatever the C library's locale says,
  // and is written with the separator asked for.
  std::string comma, point;
  EXPECT_TRUE(ParseDataValue(8, "1,5", comma));
  EXPECT_TRUE(ParseDataValue(8, "1.5", point));
  EXPECT_EQ(comma, point);
  EXPECT_EQ(comma, std::string("\0\0\0\0\0\0\xF8\x3F", 8));
  const std::vector<uint8_t> b(comma.begin(), comma.end());
  EXPECT_EQ(DataValueText(8, b, 0, ','), "1,5");
  EXPECT_EQ(DataValueText(8, b, 0), "1.5");
  EXPECT_TRUE(ParseDataValue(8, "-2.5e-3", out));
  EXPECT_TRUE(ParseDataValue(8, "+7", out));
  for (const char* bad : {"1e400", "inf", "nan", "1,5,", "0x10", "", "1 5"})
    EXPECT_FALSE(ParseDataValue(8, bad, out)) << bad;
  int64_t at = 0;
  EXPECT_TRUE(ParseByteNumber("12", 12, at));
  EXPECT_FALSE(ParseByteNumber("13", 12, at));
}

// A refused value is told why. The range a message gives is the row's own:
// both of its ends are taken.
TEST(DataWindowValues, RefusedValuesAreToldWhy) {
  EXPECT_EQ(DataValueRefusal(3, "70000"),
            "Число «70000» не помещается в «16 бит (+)»: там числа от 0 до 65\u00A0535.");
  EXPECT_EQ(DataValueRefusal(3, "abc"),
            "Я не понимаю «abc»: это не целое число в десятичной записи.");
  for (const char* big : {"1e400", "inf", "+1e400"})
    EXPECT_EQ(DataValueRefusal(8, big), std::string("Число «") + big +
                                            "» не помещается в «double»: оно слишком велико "
                                            "или слишком близко к нулю.");
  EXPECT_EQ(DataValueRefusal(8, "nan").rfind("Я не понимаю «nan»: это не конечное число.", 0), 0u);
  EXPECT_EQ(ByteNumberRefusal("13", 12),
            "Номер «13» лежит за концом документа: он может быть от 0 до 12 (12 — сам конец).");
  EXPECT_EQ(ByteNumberRefusal("x", 12), "Я не понимаю «x»: номер байта пишется целым числом.");
  std::string out;
  for (int tag = 1; tag <= 7; ++tag) {
    const std::string said = DataValueRefusal(tag, "99999999999999999999");
    const size_t from = said.find("от "), to = said.find(" до ");
    ASSERT_NE(from, std::string::npos) << said;
    auto digits = [](std::string t) {  // the groups are parted by no-break spaces
      for (size_t at; (at = t.find("\u00A0")) != std::string::npos;) t.erase(at, 2);
      return t;
    };
    const std::string least = digits(said.substr(from + 5, to - from - 5));
    const std::string most = digits(said.substr(to + 6, said.size() - to - 7));  // " до ": 6 bytes
    EXPECT_TRUE(ParseDataValue(tag, least, out)) << said;
    EXPECT_TRUE(ParseDataValue(tag, most, out)) << said;
  }
}

TEST_F(HexViewTest, ValuesWrittenAtTheCursorAreSelectedAndUndoable) {
  Load("\x01\x02\x03");
  At(1, 0);
  view->WriteAtCursor(std::string("\xAA\xBB\xCC\xDD", 4));  // grows the file by two
  EXPECT_EQ(Bytes(), "\x01\xAA\xBB\xCC\xDD");
  EXPECT_EQ(view->GetSelectedText(), "\xAA\xBB\xCC\xDD");
  view->Undo();
  EXPECT_EQ(Bytes(), "\x01\x02\x03");
}

}  // namespace
}  // namespace prambus
