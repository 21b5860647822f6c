// UTF-8 documents in the text view: characters as the layout, the caret and
// the editing keys see them, ill-formed bytes kept as they are, and the
// character rules themselves.
#include <string>

#include "settings/settings.h"
#include "shell/find_replace.h"
#include "support/test_canvas.h"
#include "support/text_view_fixture.h"
#include "text/utf8_chars.h"
#include "text/utf8_scan.h"
#include "views/hex_view.h"

namespace prambus {
namespace {

const uint8_t* Bytes(std::string_view s) {
  return reinterpret_cast<const uint8_t*>(s.data());
}

TEST(Utf8Chars, LengthsOfWellFormedIllFormedAndCutSequences) {
  struct Case {
    std::string bytes;
    int length;
  } cases[] = {
      {"a", 1},
      {"\xD0\xB4", 2},          // д
      {"\xE4\xB8\xAD", 3},      // 中
      {"\xF0\x9F\x98\x80", 4},  // 😀
      {"\xC0\xAF", 1},          // overlong
      {"\xE0\x80\xAF", 1},      // overlong
      {"\xED\xA0\x80", 1},      // surrogate
      {"\xF4\x90\x80\x80", 1},  // past U+10FFFF
      {"\xF5\x80\x80\x80", 1},
      {"\x80", 1},  // stray continuation
      {"\xD0", 0},  // cut: more may come
      {"\xF0\x9F\x98", 0},
      {"\xE4\xB8x", 1},  // broken by the byte after it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8Length(Bytes(c.bytes), c.bytes.size()), c.length) << c.bytes;
    EXPECT_EQ(Utf8LengthAtEnd(Bytes(c.bytes), c.bytes.size()), c.length ? c.length : 1);
  }
  EXPECT_EQ(CountUtf8Chars(Bytes("a\xD0\xB4\x80\xF0\x9F\x98"), 7), 6);
}

TEST(Utf8Chars, CharacterStartsBackwardsAndInside) {
  const std::string s = "a\xD0\xB4\x80\xE4\xB8\xAD\xF0\x9F";
  const uint8_t* p = Bytes(s);
  EXPECT_EQ(Utf8PreviousStart(p, 3), 1);  // д
  EXPECT_EQ(Utf8PreviousStart(p, 4), 3);  // a stray continuation after д
  EXPECT_EQ(Utf8PreviousStart(p, 7), 4);  // 中
  EXPECT_EQ(Utf8PreviousStart(p, 9), 8);  // a cut sequence: bytes of their own
  EXPECT_EQ(Utf8StartOf(p, 9, 2), 1);
  EXPECT_EQ(Utf8StartOf(p, 9, 3), 3);
  EXPECT_EQ(Utf8StartOf(p, 9, 6), 4);
  EXPECT_EQ(Utf8StartOf(p, 9, 8), 8);
}

TEST(Utf8Chars, WideCellsAndCaseFolding) {
  EXPECT_EQ(CharCells(U'a'), 1);
  EXPECT_EQ(CharCells(U'д'), 1);
  EXPECT_EQ(CharCells(U'中'), 2);
  EXPECT_EQ(CharCells(U'😀'), 2);
  EXPECT_EQ(CharCells(U'ア'), 2);
  std::string text = "ÀÉ ЁЖЯ ΣΩΆ İ ſ";
  FoldUtf8InPlace(text);
  EXPECT_EQ(text, "àé ёжя σωά İ ſ");  // İ and ſ fold to forms of another length
  EXPECT_FALSE(IsWellFormedUtf8("a\x80"));
  EXPECT_TRUE(IsWellFormedUtf8("naïve café — 日本 😀"));
}

class Utf8ViewTest : public TextViewTest {
 protected:
  void LoadUtf8(std::string_view text, int wrap = 200, size_t blockSize = 8192) {
    view->SetUtf8(true);
    Load(text, wrap, blockSize);
    view->EndAppend();
  }
  // Every row starts a character: its first byte continues no sequence that
  // began in the rows before it.
  void ExpectRowsOnCharacters() {
    const std::string text = Text();
    size_t at = 0;
    for (int r = 0; r <= view->LastRow(); ++r) {
      const auto* p = Bytes(text);
      EXPECT_EQ(Utf8StartOf(p, static_cast<int>(text.size()), static_cast<int>(at)),
                static_cast<int>(at))
          << "row " << r;
      at += view->GetRow(r).size();
    }
  }
};

TEST_F(Utf8ViewTest, RowsBreakBetweenCharactersHoweverTheBytesCameIn) {
  const std::string text = "Съешь же ещё этих мягких французских булок 中文😀x\x80\xD0";
  for (int wrap : {8, 16, 40, 200})
    for (size_t block : {size_t(1), size_t(3), size_t(8192)}) {
      LoadUtf8(text, wrap, block);
      EXPECT_EQ(Text(), text);
      ExpectRowsOnCharacters();
      std::vector<std::string> rows = Rows();
      LoadUtf8(text, wrap);
      EXPECT_EQ(Rows(), rows) << wrap << " " << block;
    }
  LoadUtf8("абв中x", 200);
  EXPECT_EQ(view->RowWidth(0), 8 * 6);  // a wide character takes two cells
}

// A CR and a LF make one line end however the blocks split them, and a
// line end already paired takes no third one.
TEST_F(Utf8ViewTest, LineEndPairsAreTheSameHoweverTheBytesCameIn) {
  for (const std::string text : {"a\r\n\rb", "a\r\n\r\nb", "a\n\r\n\r\nb", "\r\n\n\r\r\r\n"}) {
    LoadUtf8(text);
    const std::vector<std::string> rows = Rows();
    for (size_t block = 1; block <= text.size(); ++block) {
      LoadUtf8(text, 200, block);
      EXPECT_EQ(Rows(), rows) << block;
    }
  }
  LoadUtf8("a\r\n\rb", 200, 3);
  EXPECT_EQ(Rows(), (RowList{"a\r\n", "\r", "b"}));
}

TEST_F(Utf8ViewTest, CaretAndEditingKeysStepOverWholeCharacters) {
  LoadUtf8("жа中😀\x80z");
  Cursor(0, 0);
  std::vector<int> stops;
  for (int i = 0; i < 7; ++i) {
    view->MoveRight(false, false);
    stops.push_back(view->CursorColumn());
  }
  EXPECT_EQ(stops, (std::vector<int>{2, 4, 7, 11, 12, 13, 13}));
  view->MoveLeft(false, false);
  view->MoveLeft(false, false);
  EXPECT_EQ(view->CursorColumn(), 11);
  view->Backspace();  // the emoji, all four bytes
  EXPECT_EQ(Text(), "жа中\x80z");
  view->DeleteForward();  // the stray byte alone
  EXPECT_EQ(Text(), "жа中z");
  view->Undo();  // both keys, taken as one deletion
  EXPECT_EQ(Text(), "жа中😀\x80z");
  view->Redo();
  EXPECT_EQ(Text(), "жа中z");
  view->SetPosition(3, 0, true);  // inside ж: the caret goes to its start
  EXPECT_EQ(view->CursorColumn(), 2);
  view->MoveToPoint(8 * 2 + 3, 0, false, false);  // the left half of 中
  EXPECT_EQ(view->CursorColumn(), 4);
  EXPECT_EQ(view->CharColumn(0, 7), 3);
  // Past the row's end it counts the whole row; a row outside the document
  // (a position asked for before its row exists) leaves the column as given.
  EXPECT_EQ(view->CharColumn(0, 99), 4);
  EXPECT_EQ(view->CharColumn(-1, 7), 7);
  EXPECT_EQ(view->CharColumn(view->LastRow() + 1, 7), 7);
  // At a row's start Backspace takes the line end before it; at the
  // document's start nothing.
  LoadUtf8("жа\r\n中");
  Cursor(0, 1);
  view->Backspace();
  EXPECT_EQ(Text(), "жа中");
  Cursor(0, 0);
  EXPECT_FALSE(view->Backspace());
  EXPECT_EQ(Text(), "жа中");
}

TEST_F(Utf8ViewTest, TypedCharactersInsertTheirBytes) {
  LoadUtf8("ab");
  Cursor(1, 0);
  view->TypeText("ж");
  view->TypeText("😀");
  view->TypeText("c");
  EXPECT_EQ(Text(), "aж😀cb");
  EXPECT_EQ(view->CursorColumn(), 8);
  view->Undo();
  EXPECT_EQ(Text(), "ab");
}

TEST_F(Utf8ViewTest, BytesJoinedByAnEditMakeOneCharacterAcrossRows) {
  // A cut four-byte sequence laid out a byte a row, then completed by a
  // byte inserted between them: the rows move so that none starts inside it.
  LoadUtf8("\xF0\x9F\x98x", 8);
  ASSERT_EQ(view->LastRow(), 3);
  Cursor(0, 3);
  view->InsertText("\x80", true, true);
  EXPECT_EQ(Text(), "\xF0\x9F\x98\x80x");
  ExpectRowsOnCharacters();
  EXPECT_EQ(view->GetRow(0), "\xF0\x9F\x98\x80");
  EXPECT_EQ(view->CursorRow(), 1);  // after the character the byte completed
  EXPECT_EQ(view->CursorColumn(), 0);
  view->Undo();
  EXPECT_EQ(Text(), "\xF0\x9F\x98x");
  ExpectRowsOnCharacters();
}

TEST_F(Utf8ViewTest, TextTypedOverASelectionGoesWhereTheSelectionWas) {
  // Taking the two middle bytes out of a cut sequence, a stray byte and
  // another cut sequence joins the bytes around them into one character for
  // a moment; what is typed or pasted over them goes between those bytes.
  const std::string text = "σ\xF0\x9F\x98\xF0\x9F\x98";
  for (const std::string typed : {"a", "ж", "\x80\x80"}) {
    LoadUtf8(text);
    view->SetPosition(5, 0, true);
    view->SetPosition(7, 0, false);
    view->DeleteSelectionForInsert();
    if (typed.size() > 1 && typed[0] == '\x80')
      view->InsertText(typed, true, true);
    else
      view->TypeText(typed);
    EXPECT_EQ(Text(), "σ\xF0\x9F\x98" + typed + "\x98") << typed;
    ExpectRowsOnCharacters();
    view->Undo();
    view->Undo();
    EXPECT_EQ(Text(), text);
  }
  // Deleted on its own, the selection leaves the caret on the character
  // its bytes joined into.
  LoadUtf8(text);
  view->SetPosition(5, 0, true);
  view->SetPosition(7, 0, false);
  view->DeleteSelection(true, true);
  EXPECT_EQ(Text(), "σ😘");
  EXPECT_EQ(view->CursorColumn(), 2);
}

TEST_F(Utf8ViewTest, RowsAfterACharacterBeforeACutSequenceAreLaidOutAgain) {
  // Typed before the lead byte of a cut sequence laid out a byte a row, after
  // rows that start with stray bytes: the rows from the typed character on
  // are laid out again, the rows before it as they were.
  LoadUtf8("\xC3\xA9\xED\xA0\x80\xF0\x9F\x98", 8);
  Cursor(0, 4);
  view->TypeText("Ж");
  EXPECT_EQ(Rows(), (RowList{"é", "\xED", "\xA0", "\x80", "Ж", "\xF0", "\x9F", "\x98"}));
}

TEST_F(Utf8ViewTest, SearchIgnoresCaseInCyrillicGreekAndLatin) {
  LoadUtf8("Один ДВА; Σοφία CAFÉ");
  int count = 1 << 20;
  EXPECT_TRUE(view->FindText("два", count, false, false));
  EXPECT_EQ(view->CursorColumn(), 9);
  count = 1 << 20;
  EXPECT_TRUE(view->FindText("σΟΦΊΑ", count, false, false));
  count = 1 << 20;
  EXPECT_TRUE(view->FindText("café", count, false, false));
  count = 1 << 20;
  EXPECT_FALSE(view->FindText("два", count, false, true));
}

// "Заменить всё" compares letters folded as UTF-8 (not byte by byte through
// the Windows-1251 table, where "и" and "Ш" would match and "Д" and "д"
// would not), and its one splice leaves rows that a whole layout gives.
TEST_F(Utf8ViewTest, ReplaceAllFoldsLettersAndLaysTheRowsOutOnCharacters) {
  const std::string text = "Дом дом ДОМ\nдОм шило Шило ΣΟΦΊΑ σοφία";
  for (const bool caseSensitive : {false, true}) {
    LoadUtf8(text, 48);
    auto replaceAll = [&](const char* find, const char* with) {
      ReplaceSession session;
      session.hooks.readsUtf8 = [](const ViewBase&) { return true; };
      session.options = {find, with, caseSensitive};
      std::string message;
      return session.ReplaceAll(*view, message);
    };
    EXPECT_EQ(replaceAll("дом", "中😀"), caseSensitive ? 1 : 4);
    EXPECT_EQ(replaceAll("и", "ı"), 2);
    EXPECT_EQ(replaceAll("σοφία", "-"), caseSensitive ? 1 : 2);
    EXPECT_EQ(Text(), caseSensitive ? "Дом 中😀 ДОМ\nдОм шıло Шıло ΣΟΦΊΑ -"
                                    : "中😀 中😀 中😀\n中😀 шıло Шıло - -");
    ExpectRowsOnCharacters();
    ReplaceSession missing;  // the note names the text as typed
    missing.hooks.readsUtf8 = [](const ViewBase&) { return true; };
    missing.options = {"кот", "", caseSensitive};
    std::string message;
    EXPECT_FALSE(missing.FindNext(*view, message));
    EXPECT_EQ(message, "Я завершил поиск текста \"кот\". Больше он не встречается.");
    const RowList edited = Rows();
    LoadUtf8(Text(), 48);
    EXPECT_EQ(Rows(), edited);
  }
}

// The hex view showing UTF-8 folds letters the same way when it searches.
TEST(Utf8HexSearch, IgnoringCaseFoldsUtf8Letters) {
  Cfg() = Settings{};
  TestCanvas canvas;
  HexView hex(&canvas);
  hex.SetBytes("Шило ДОМ");
  hex.ShowUtf8 = true;
  int count = 1 << 20;
  ASSERT_TRUE(hex.FindText("и", count, false, false));
  EXPECT_EQ(hex.GetSelectedText(), "и");
  count = 1 << 20;
  ASSERT_TRUE(hex.FindText("дом", count, false, false));
  EXPECT_EQ(hex.GetSelectedText(), "ДОМ");
}

TEST_F(Utf8ViewTest, ShownBackAsTableCharactersTheBytesStay) {
  const std::string text = "щ\x80 😀";
  LoadUtf8(text, 40);
  view->SetUtf8(false);
  EXPECT_EQ(Text(), text);
  view->SetUtf8(true);
  EXPECT_EQ(Text(), text);
  ExpectRowsOnCharacters();
}

// A row's characters, ASCII among them, go to the canvas in one call, which
// puts each in its cells, a byte of no character as the substitute; an ASCII
// character of another width than a cell, and a tab, are drawn on their own.
TEST_F(Utf8ViewTest, PaintDrawsARowInOneCallWithASubstituteForAStrayByte) {
  LoadUtf8(
      "aж\x80"
      "b中é");
  canvas.ClearRecords();
  view->Paint();
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].text,
            "aж\xEF\xBF\xBD"
            "b中é");
  EXPECT_EQ(canvas.texts[0].x, 0);
  // A control character is no printable ASCII: it is drawn on its own.
  LoadUtf8(
      "a\x1F"
      "b");
  canvas.ClearRecords();
  view->Paint();
  EXPECT_EQ(canvas.texts.size(), 3u);

  TestCanvas narrow;
  narrow.SetCharWidth('b', 11);
  TextView other(&narrow);
  other.SetUtf8(true);
  const std::string text =
      "aж\x80"
      "b中é\tz";
  other.AppendBytes(Bytes(text), static_cast<int>(text.size()));
  other.EndAppend();
  other.Paint();
  ASSERT_EQ(narrow.texts.size(), 5u);
  EXPECT_EQ(narrow.texts[0].text, "aж\xEF\xBF\xBD");
  EXPECT_EQ(narrow.texts[1].text, "b");
  EXPECT_EQ(narrow.texts[1].x, 24);
  EXPECT_EQ(narrow.texts[2].text, "中é");
  EXPECT_EQ(narrow.texts[2].x, 35);
  EXPECT_EQ(narrow.texts[3].text, "        ");  // the tab
  EXPECT_EQ(narrow.texts[4].text, "z");
}

}  // namespace
}  // namespace prambus
