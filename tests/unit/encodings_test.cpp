// Code tables and the conversions: Quoted-Printable, transliteration both
// ways, UTF-16 with its carry, UTF-8, .enc files and recoding in both views.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "encodings/code_tables.h"
#include "encodings/conversions.h"
#include "encodings/cyrillic_tables.h"
#include "encodings/enc_file.h"
#include "encodings/recode.h"
#include "encodings/utf_wide.h"
#include "shell/recode_question.h"
#include "support/text_view_fixture.h"
#include "text/cp1251.h"
#include "views/hex_view.h"

namespace prambus {
namespace {

std::string W(const char* utf8) {
  return Utf8ToCp1251(utf8);
}

TEST(QuotedPrintable, DecodesOnlyUpperCaseEscapesAndSoftBreaks) {
  EXPECT_EQ(decodeQuotedPrintable("a=\r\nb"), "ab");
  EXPECT_EQ(decodeQuotedPrintable("=41"), "A");
  EXPECT_EQ(decodeQuotedPrintable("=4a"), "=4a");
  EXPECT_EQ(decodeQuotedPrintable("x="), "x=");
  EXPECT_EQ(decodeQuotedPrintable("=4"), "=4");
  EXPECT_EQ(decodeQuotedPrintable("=C0=C1"), "\xC0\xC1");
}

TEST(QuotedPrintable, EncodesEscapesAndBreaksLongLines) {
  EXPECT_EQ(encodeQuotedPrintable("a b\r\n", true), "a b\r\n");
  EXPECT_EQ(encodeQuotedPrintable("a \r\n", true), "a=20\r\n");
  EXPECT_EQ(encodeQuotedPrintable("=", true), "=3D");
  EXPECT_EQ(encodeQuotedPrintable("\r", true), "=0D");
  EXPECT_EQ(encodeQuotedPrintable("\n", true), "=0A");
  const std::string out = encodeQuotedPrintable(std::string(80, 'x'), true);
  EXPECT_EQ(out, std::string(71, 'x') + "=\r\n" + std::string(9, 'x'));
  // The column carries over from call to call unless reset.
  encodeQuotedPrintable(std::string(70, 'y'), true);
  EXPECT_EQ(encodeQuotedPrintable("zz", false), "z=\r\nz");
}

TEST(QuotedPrintable, AnyBytesSurviveEncodeThenDecode) {
  std::string all;
  for (int rep = 0; rep < 3; ++rep)
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  all += "end \r\n\t\r\n";
  EXPECT_EQ(decodeQuotedPrintable(encodeQuotedPrintable(all, true)), all);
}

#if defined(__x86_64__)
// The sixteen-byte step to UTF-16 takes every whole block of ASCII and А..я
// there is, exactly as the byte-by-byte converter writes it, and leaves a
// shorter tail and a block with any other byte to that converter.
TEST(WideSteps, TheUtf16StepTakesEveryWholeBlockThatQualifies) {
  std::string in;
  for (int i = 0; i < 48; ++i)
    in += static_cast<char>(i % 3 ? 'a' + i % 26 : 0xC0 + i);  // ASCII and А..я
  std::string out(2 * in.size() + 16, '\0');
  for (const size_t size : {size_t(15), size_t(16), size_t(31), size_t(32), size_t(48)}) {
    const size_t taken = AnsiToUtf16Wide(in.data(), size, out.data());
    EXPECT_EQ(taken, size / 16 * 16) << size;
    EXPECT_EQ(out.substr(0, 2 * taken), ansiToUtf16(in.substr(0, taken))) << size;
  }
  in[20] = '\xA8';  // Ё lies outside the linear range: its block is left
  EXPECT_EQ(AnsiToUtf16Wide(in.data(), 48, out.data()), 16u);
}
#endif

TEST(Translit, ToCyrillicFollowsTheLetterRules) {
  EXPECT_EQ(translitToCyrillic("Shchuka"), W("Шчука"));
  EXPECT_EQ(translitToCyrillic("Schuka"), W("Щука"));
  EXPECT_EQ(translitToCyrillic("SCH"), W("Щ"));
  EXPECT_EQ(translitToCyrillic("Thomas"), W("Зомас"));
  EXPECT_EQ(translitToCyrillic("Xerox"), W("Ксерокс"));
  EXPECT_EQ(translitToCyrillic("Jolka"), W("Ёлка"));
  EXPECT_EQ(translitToCyrillic("yabloko"), W("яблоко"));
  EXPECT_EQ(translitToCyrillic("Y"), W("Ы"));
  EXPECT_EQ(translitToCyrillic("[x]'"), W("[кс]'"));
  // J and Y before a vowel make one iotated letter, in the case of the first.
  EXPECT_EQ(translitToCyrillic("ja je jo ju ya ye yo yu j"), W("я е ё ю я е ё ю й"));
  EXPECT_EQ(translitToCyrillic("JA JE JO JU YA YE YO YU J"), W("Я Е Ё Ю Я Е Ё Ю Й"));
  // The letters that stand for one Cyrillic letter each, in both cases.
  EXPECT_EQ(translitToCyrillic("A B D E F G H I K L M N O P Q R U V W Z"),
            W("А Б Д Е Ф Г Х И К Л М Н О П К Р У В У З"));
  EXPECT_EQ(translitToCyrillic("a b d e f g h i k l m n o p q r u v w z"),
            W("а б д е ф г х и к л м н о п к р у в у з"));
}

TEST(Translit, ToLatinUsesPrefixesAfterConsonants) {
  EXPECT_EQ(cyrillicToTranslit(W("ёж")), "jozh");
  EXPECT_EQ(cyrillicToTranslit(W("съёмка")), "s'jomka");
  EXPECT_EQ(cyrillicToTranslit(W("Щука")), "Schuka");
  EXPECT_EQ(cyrillicToTranslit(W("ЮРА")), "JuRA");
  EXPECT_EQ(cyrillicToTranslit(W("Її")), "ii");
  EXPECT_EQ(cyrillicToTranslit(W("Яков Пётр моя бюро")), "Jakov Pyotr moja byuro");
}

TEST(Utf, Utf16CarriesAnOddByteToTheNextChunk) {
  EXPECT_EQ(utf16ToAnsi(std::string("A\0B", 3), true), "A");
  EXPECT_EQ(utf16ToAnsi(std::string("\0", 1), false), "B");
  EXPECT_EQ(ansiToUtf16("A"), std::string("A\0", 2));
}

// The converters run with the sixteen-byte steps and without them (as on a
// processor that lacks their instructions): the bytes must be the same.
class UtfBothWays : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { SetWideStepsEnabled(GetParam()); }
  void TearDown() override { SetWideStepsEnabled(true); }
};

INSTANTIATE_TEST_SUITE_P(WideSteps, UtfBothWays, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "On" : "Off";
                         });

TEST_P(UtfBothWays, EveryCharacterSurvivesAnsiToUtfAndBack) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(utf8ToAnsi(ansiToUtf8(all)), all);
  EXPECT_EQ(utf16ToAnsi(ansiToUtf16(all), true), all);
  EXPECT_EQ(utf8ToAnsi("\xE2\x9C\x93 \xF0\x9F\x98\x80 \xFF"), "? ?? ?");  // not in Windows-1251
}

// Long mixed texts take the sixteen-byte path; pieces shorter than sixteen
// bytes never do, so converting piece by piece is the reference.
TEST_P(UtfBothWays, LongTextsConvertAsTheirPiecesDo) {
  struct Piece {
    std::string utf8, ansi;
  };
  std::vector<Piece> pieces;
  for (int c = 0; c < 256; ++c) {
    const std::string b(1, static_cast<char>(c));
    if (c != 0x98) pieces.push_back({ansiToUtf8(b), b});
  }
  const std::vector<Piece> broken = {{"\xD0"
                                      "A",
                                      "?A"},
                                     {"\x80", "?"},
                                     {"\xD1\xD0\x90", "?\xC0"},
                                     {"\xC1\x81", "?"},
                                     {"\xE2\x9C\x93", "?"},
                                     {"\xF0\x9F\x98\x80", "??"},
                                     {"\xD0\x81", "\xA8"}};
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    std::string utf8, ansi, ansiToUtf8Pieces, ansiToUtf16Pieces;
    while (ansi.size() < 300) {
      const unsigned r = rng() % 100;
      const Piece& p = r < 2    ? broken[rng() % broken.size()]
                       : r < 50 ? pieces[' ' + rng() % 95]
                                : pieces[0xC0 - 1 + rng() % 64];  // А..я (the table skips 0x98)
      utf8 += p.utf8;
      ansi += p.ansi;
    }
    ASSERT_EQ(utf8ToAnsi(utf8), ansi) << "round " << round;
    for (char c : ansi) {
      ansiToUtf8Pieces += ansiToUtf8(std::string(1, c));
      ansiToUtf16Pieces += ansiToUtf16(std::string(1, c));
    }
    ASSERT_EQ(ansiToUtf8(ansi), ansiToUtf8Pieces) << "round " << round;
    ASSERT_EQ(ansiToUtf16(ansi), ansiToUtf16Pieces) << "round " << round;
  }
}

TEST(Tables, BuiltInTablesArePermutationsThatRoundTrip) {
  for (const CodeTable* t : {&WindowsTable(), &DosTable()}) {
    const CodeTable inv = InverseTable(*t);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(inv[(*t)[b]], b);
  }
  EXPECT_EQ(DosTable()[128], 0xC0);  // А
  EXPECT_EQ(DosTable()[224], 0xF0);  // р
}

TEST(EncFile, GrammarOfNumbers) {
  CodeTable t{};
  std::string text;
  for (int i = 0; i < 256; ++i) text += std::to_string(i) + "\n";
  ASSERT_TRUE(parseEncodingText(text, t));
  EXPECT_EQ(t, WindowsTable());
  ASSERT_TRUE(parseEncodingText("300\n-1\n$FF\n0x10\nx1f\n\n\n  7 junk after\n", t));
  EXPECT_EQ(t[0], 44);
  EXPECT_EQ(t[1], 255);
  EXPECT_EQ(t[2], 255);
  EXPECT_EQ(t[3], 16);
  EXPECT_EQ(t[4], 31);
  EXPECT_EQ(t[5], 7);
  EXPECT_EQ(t[6], 0);  // a short file fills the rest with 0
  EXPECT_FALSE(parseEncodingText("1\n2\n3\n4\n5\n6\n7\n8\n9\nten\n", t));
  EXPECT_FALSE(parseEncodingText("$\n", t));
  EXPECT_FALSE(loadEncodingFile("/nonexistent.enc", t));
}

TEST(EncFile, AnyNumberOfUpTo32CharactersGivesItsLowByte) {
  CodeTable t{};
  ASSERT_TRUE(parseEncodingText(
      "2147483648\n$111111111\n99999999999\n-99999999999999999999\n" + std::string(32, '9') + "\n" +
          "1234567890123456789012345678901234567890\n" + "-$" + std::string(30, 'F') + "\n" + "0x" +
          std::string(30, 'f') + "\n",
      t));
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[1], 0x11);
  EXPECT_EQ(t[2], 255);
  EXPECT_EQ(t[3], 1);
  EXPECT_EQ(t[4], 255);
  EXPECT_EQ(t[5], 20);  // the first 32 characters are the number, the rest of the line is skipped
  EXPECT_EQ(t[6], 1);
  EXPECT_EQ(t[7], 255);
  EXPECT_EQ(t[8], 0);
}

TEST(EncFile, AFileWithoutNumbersIsNoTable) {
  CodeTable t = WindowsTable();
  EXPECT_FALSE(parseEncodingText("", t));
  EXPECT_FALSE(parseEncodingText(" \r\n\t\n\n", t));
  EXPECT_EQ(t, WindowsTable());  // a refused file leaves the table alone
  EXPECT_TRUE(parseEncodingText("\n\n7", t));
  EXPECT_EQ(t[0], 7);
}

TEST(Tables, OnlyATableThatGivesEveryByteItsOwnCharacterCanShowADocument) {
  EXPECT_TRUE(CanShowDocument(WindowsTable()));
  EXPECT_TRUE(CanShowDocument(DosTable()));
  CodeTable koi = WindowsTable();
  for (int b = 0x80; b <= 0x9F; ++b) koi[b] = '?';  // box drawing without a letter
  EXPECT_FALSE(CanShowDocument(koi));
  EXPECT_FALSE(CanShowDocument(MarkerTable(kConvUtf8)));
  EXPECT_FALSE(CanShowDocument(CodeTable{}));
}

TEST(Recode, CharactersATargetTableLacksBecomeQuestionMarks) {
  CodeTable koi = WindowsTable();
  for (int b = 0x80; b <= 0x9F; ++b) koi[b] = '?';
  const RecodePlan toKoi(WindowsTable(), koi);
  // Encoded as '?' is: the last byte the table shows as '?'.
  EXPECT_EQ(toKoi.Encode("\x80"
                         "a?\xC0"),
            "\x9F"
            "a\x9F\xC0");
  CodeTable noQuestion = WindowsTable();
  noQuestion[63] = 'a';
  EXPECT_EQ(RecodePlan(WindowsTable(), noQuestion).Encode("?b"), "?b");
  // The DOS output table keeps the three bytes its marker overwrote.
  EXPECT_EQ(RecodePlan(WindowsTable(), DosForOutputTable()).Encode(std::string("\0\1\2", 3)),
            std::string("\0\1\2", 3));
}

// A byte-order mark opening a UTF-16 or UTF-8 source is no character: it is
// left out rather than turned into '?'. One further on, or a table's bytes
// that happen to spell one, are characters like any other.
TEST(Recode, AByteOrderMarkOpeningTheSourceIsLeftOut) {
  std::string out;
  ASSERT_TRUE(RecodePlan(MarkerTable(kConvUtf16), WindowsTable())
                  .Convert(std::string("\xFF\xFE\x1F\x04", 4), out, 100));
  EXPECT_EQ(out, "\xCF");
  ASSERT_TRUE(RecodePlan(MarkerTable(kConvUtf8), WindowsTable())
                  .Convert("\xEF\xBB\xBF\xD0\x9F\xEF\xBB\xBF", out, 100));
  EXPECT_EQ(out, "\xCF?");
  ASSERT_TRUE(RecodePlan(WindowsTable(), MarkerTable(kConvUtf8)).Convert("\xEF\xBB\xBF", out, 100));
  EXPECT_EQ(out, "\xD0\xBF\xC2\xBB\xD1\x97");
}

// What a recode cannot keep is counted before it runs: every '?' the result
// holds in place of something else, and the letters code page 866 can only
// give as lookalikes; a '?' of the document itself is no loss.
TEST(Recode, WhatARecodeCannotKeepIsCountedBeforeItRuns) {
  struct Case {
    const char* what;
    CodeTable source, target;
    std::string in;
    uint64_t questionMarks, lookalikes;
  };
  CodeTable gaps = WindowsTable();
  for (int b = 0x80; b <= 0x9F; ++b) gaps[b] = '?';
  const std::string big(size_t{1} << 20, 'a');
  const Case cases[] = {
      {"foreign letters, CJK, an emoji (two units)", MarkerTable(kConvUtf8), WindowsTable(),
       "na\xC3\xAFve caf\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 "
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82?\n",
       6, 0},
      {"invalid UTF-8 bytes", MarkerTable(kConvUtf8), WindowsTable(), "a\xFF\xFE?", 2, 0},
      {"UTF-16: a CJK unit, a '?' of its own", MarkerTable(kConvUtf16), WindowsTable(),
       std::string("\xE5\x65?\0a\0", 6), 1, 0},
      {"into a table with gaps", WindowsTable(), gaps, "\x80\x9F?a", 2, 0},
      {"into the source's own gaps", gaps, WindowsTable(), "\x80?a", 1, 0},
      {"Ukrainian into DOS", WindowsTable(), DosForOutputTable(),
       W("Їжак і Ірина?") + std::string("\0\1\2", 3), 0, 2},
      {"Windows into UTF-8 keeps all", WindowsTable(), MarkerTable(kConvUtf8), W("Ђ?ї"), 0, 0},
      {"translit keeps all", WindowsTable(), MarkerTable(kConvTranslit), W("щи?"), 0, 0},
      {"a Cyrillic letter across the piece's cut", MarkerTable(kConvUtf8), WindowsTable(),
       big.substr(1) + "\xD0\xAF" + big, 0, 0},
      {"an emoji across the piece's cut", MarkerTable(kConvUtf8), WindowsTable(),
       big.substr(2) + "\xF0\x9F\x98\x80" + big, 2, 0},
      {"UTF-16's byte-order mark at the start", MarkerTable(kConvUtf16), WindowsTable(),
       std::string("\xFF\xFE\x1F\x04", 4), 0, 0},
      {"UTF-8's byte-order mark at the start", MarkerTable(kConvUtf8), WindowsTable(),
       "\xEF\xBB\xBF\xD0\x9F", 0, 0},
      {"a byte-order mark further on", MarkerTable(kConvUtf8), WindowsTable(), "a\xEF\xBB\xBF", 1,
       0},
  };
  for (const Case& c : cases) {
    const RecodePlan plan(c.source, c.target);
    const RecodeLosses losses = plan.CountLosses(c.in);
    EXPECT_EQ(losses.questionMarks, c.questionMarks) << c.what;
    EXPECT_EQ(losses.lookalikes, c.lookalikes) << c.what;
    EXPECT_EQ(losses.Any(), c.questionMarks + c.lookalikes > 0) << c.what;
  }
  // Every built-in Cyrillic table is a permutation: any recode among them
  // keeps every byte.
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const CodeTable* tables[] = {&WindowsTable(), &DosTable(),      &Koi8rTable(),
                               &Koi8uTable(),   &Iso88595Table(), &MacCyrillicTable()};
  for (const CodeTable* from : tables)
    for (const CodeTable* to : tables) EXPECT_FALSE(RecodePlan(*from, *to).CountLosses(all).Any());
}

// The lengths are 32-bit: a result past the limit is refused before anything
// is converted, also when the worst case is past it but the result fits.
TEST(Recode, AResultLongerThanTheLimitIsRefusedBeforeConverting) {
  struct Case {
    CodeTable source, target;
    std::string in;
    size_t length;
  };
  const Case cases[] = {
      {WindowsTable(), MarkerTable(kConvUtf8), "abc" + W("Я"), 5},
      {WindowsTable(), MarkerTable(kConvQuotedPrintable), "a=b", 5},
      {WindowsTable(), MarkerTable(kConvTranslit), W("щи"), 4},
      {WindowsTable(), MarkerTable(kConvUtf16), "ab", 4},
      {MarkerTable(kConvTranslit), WindowsTable(), "xx", 4},
      {MarkerTable(kConvTranslit), MarkerTable(kConvQuotedPrintable), "x", 6},
      {MarkerTable(kConvUtf8), WindowsTable(), "\xD0\xAF!", 2},
      {WindowsTable(), DosTable(), "abc", 3},
  };
  for (const Case& c : cases) {
    const RecodePlan plan(c.source, c.target);
    std::string out = "kept";
    EXPECT_FALSE(plan.Convert(c.in, out, static_cast<int64_t>(c.length) - 1)) << c.in;
    EXPECT_EQ(out, "kept");
    ASSERT_TRUE(plan.Convert(c.in, out, static_cast<int64_t>(c.length))) << c.in;
    EXPECT_EQ(out.size(), c.length) << c.in;
    EXPECT_EQ(out, plan.Encode(plan.Decode(c.in)));
  }
}

TEST_F(TextViewTest, RecodeEmptiesTheHistoryAndSendsTheCursorHome) {
  Load("=C0=C1");
  Type("x");
  EXPECT_TRUE(view->Recode(MarkerTable(kConvQuotedPrintable), WindowsTable()));
  EXPECT_EQ(Text(), "x\xC0\xC1");
  EXPECT_FALSE(view->CanUndo());
  EXPECT_EQ(view->CursorColumn(), 0);  // a conversion sends the cursor home
  Load(W("і"));
  view->Recode(WindowsTable(), DosForOutputTable());
  EXPECT_EQ(Text(), "i");  // code page 866 has the Latin letter in its place
  Load(W("і"));
  view->Recode(WindowsTable(), DosTable());
  EXPECT_EQ(Text(), std::string(1, static_cast<char>(InverseTable(DosTable())[0xB3])));
}

// The document is converted as one piece, never row by row: a soft wrap inside
// a UTF-8 sequence, a Quoted-Printable escape, a UTF-16 unit or a
// transliteration digraph changes nothing. At every wrap width, under either
// display table, the bytes are those the hex view gives for the same file.
TEST_F(TextViewTest, RecodeGivesTheSameBytesAtEveryWrapWidth) {
  const std::string cyr = W("Превосходительство съёмка, Щука и ёж; Xerox\r\n") +
                          W("Яков Пётр\nмоя бюро\n\rШшш\tтаб =3D ") + std::string(80, 'y');
  const std::string latin = cyrillicToTranslit(cyr) + " Shchuka SCH Thomas";
  struct Case {
    CodeTable source, target;
    std::string bytes;
  };
  const Case cases[] = {
      {MarkerTable(kConvUtf8), WindowsTable(), ansiToUtf8(cyr)},
      {MarkerTable(kConvQuotedPrintable), WindowsTable(), encodeQuotedPrintable(cyr, true)},
      {MarkerTable(kConvUtf16), WindowsTable(), ansiToUtf16(cyr) + "x"},
      {MarkerTable(kConvTranslit), WindowsTable(), latin},
      {WindowsTable(), MarkerTable(kConvUtf8), cyr},
      {WindowsTable(), MarkerTable(kConvQuotedPrintable), cyr},
      {WindowsTable(), MarkerTable(kConvUtf16), cyr},
      {WindowsTable(), MarkerTable(kConvTranslit), cyr},
      {MarkerTable(kConvUtf8), MarkerTable(kConvQuotedPrintable), ansiToUtf8(cyr)},
  };
  // The issue that showed it: wrapped UTF-8 read as Windows-1251.
  Load(ansiToUtf8(W("Превосходительство")), 40);
  ASSERT_TRUE(view->Recode(MarkerTable(kConvUtf8), WindowsTable()));
  EXPECT_EQ(Text(), W("Превосходительство"));
  TestCanvas hexCanvas;
  for (const Case& c : cases) {
    HexView hex(&hexCanvas);
    hex.SetBytes(c.bytes);
    ASSERT_TRUE(hex.Recode(c.source, c.target));
    const std::string expected = hex.Data().ToString();
    for (const CodeTable* shown : {&WindowsTable(), &DosTable()}) {
      for (int wrap : {0, 8, 24, 56, 200, 100000}) {
        Load(c.bytes, wrap, 7);
        view->SetCharTable(*shown);
        ASSERT_TRUE(view->Recode(c.source, c.target));
        std::string bytes = Text();
        ExpectRowInvariants(bytes);
        const CodeTable inverse = InverseTable(*shown);
        for (char& b : bytes) b = static_cast<char>(inverse[static_cast<uint8_t>(b)]);
        ASSERT_EQ(bytes, expected) << "wrap " << wrap << ", case " << (&c - cases);
        view->SetCharTable(WindowsTable());
      }
    }
  }
}

// The recode question's counts take the Russian form of their number, and
// each kind of loss is named only when there is some.
TEST(RecodeQuestion, CountsInTheirRussianFormAndOnlyTheLossesThereAre) {
  struct Case {
    uint64_t n;
    const char* text;
  } const forms[] = {{1, "1 знак"},       {2, "2 знака"},       {4, "4 знака"},
                     {5, "5 знаков"},     {11, "11 знаков"},    {12, "12 знаков"},
                     {14, "14 знаков"},   {21, "21 знак"},      {22, "22 знака"},
                     {100, "100 знаков"}, {111, "111 знаков"},  {101, "101 знак"},
                     {114, "114 знаков"}, {1012, "1012 знаков"}};
  for (const Case& c : forms) EXPECT_EQ(CountWithNoun(c.n, "знак", "знака", "знаков"), c.text);
  EXPECT_EQ(RecodeLossQuestion({}), "");
  EXPECT_EQ(RecodeLossQuestion({21, 0}),
            "Перекодировка сохранит не всё: на месте символов, которых в новой кодировке нет, "
            "появится 21 знак «?». Перекодировать всё равно?");
  EXPECT_EQ(RecodeLossQuestion({0, 1}),
            "Перекодировка сохранит не всё: 1 буква «і» или «І» станет латинской «i» или «I». "
            "Перекодировать всё равно?");
  EXPECT_EQ(RecodeLossQuestion({3, 2}),
            "Перекодировка сохранит не всё: на месте символов, которых в новой кодировке нет, "
            "появятся 3 знака «?», а 2 буквы «і» и «І» станут латинскими «i» и «I». "
            "Перекодировать всё равно?");
}

}  // namespace
}  // namespace prambus
