// The document information text: sizes, durations, the line-count endings of
// the box and of the status bar, the cursor and the selection.
#include "shell/document_info.h"

#include <gtest/gtest.h>

#include "shell/status_text.h"

namespace prambus {
namespace {

TEST(DocumentInfo, LineEndingsOfTheBoxAndTheStatusBar) {
  struct Case {
    int n;
    const char* box;
    const char* bar;
  };
  for (const Case& c :
       {Case{1, "ка.", "1 строка"}, Case{11, "ек.", "11 строк"}, Case{112, "ек.", "112 строк"},
        Case{22, "ки.", "22 строки"}, Case{21, "ка.", "21 строка"}, Case{14, "ек.", "14 строк"},
        Case{104, "ки.", "104 строки"}, Case{10, "ек.", "10 строк"}, Case{5, "ек.", "5 строк"}}) {
    EXPECT_EQ(LinesEnding(c.n), c.box) << c.n;
    EXPECT_EQ(LineCountText(c.n), c.bar) << c.n;
  }
}

TEST(DocumentInfo, SizesFromTheLargestPartDown) {
  EXPECT_EQ(SizeText(3), "3 б.");
  EXPECT_EQ(SizeText(0), "0 б.");
  EXPECT_EQ(SizeText(1024), "1 Кб 0 б.");
  EXPECT_EQ(SizeText(1u << 20), "1 Мб 0 Кб 0 б.");
  EXPECT_EQ(SizeText((1u << 30) + 5), "1 Гб 0 Мб 0 Кб 5 б.");
  // The largest document there can be, and beyond 4 GiB: no part wraps.
  EXPECT_EQ(SizeText(2147483647u), "1 Гб 1023 Мб 1023 Кб 1023 б.");
  EXPECT_EQ(SizeText(5ull << 30), "5 Гб 0 Мб 0 Кб 0 б.");
}

TEST(DocumentInfo, DurationsFromTheLargestPartDown) {
  EXPECT_EQ(DurationText(1005), "1 с 5 мс.");
  EXPECT_EQ(DurationText(61000), "1 мин 1 с 0 мс.");
  EXPECT_EQ(DurationText(7), "7 мс.");
  EXPECT_EQ(DurationText(3600000), "1 ч 0 мин 0 с 0 мс.");
  EXPECT_EQ(DurationText(2147483647), "596 ч 31 мин 23 с 647 мс.");
}

TEST(DocumentInfo, TheWholeTextOfANewAndAnOpenedDocument) {
  DocumentFacts f;
  f.sizeBytes = 3;
  f.lineCount = 1;
  EXPECT_EQ(DocumentInfoText(f),
            "Вы сейчас пишете новый документ.\n"
            "Он занимает 3 б.\n"
            "В документе 1 строчка.\n"
            "Координаты курсора: 1-я строчка, 0-я позиция.\n"
            "В целом это --- 0-я позиция в тексте.");

  f.fileName = "отчёт.txt";
  f.openDurationMs = 61000;
  f.sizeBytes = 1u << 20;
  f.lineCount = 22;
  f.cursorRow = 4;
  f.cursorCol = 7;
  f.cursorOffset = 120;
  f.hasSelection = true;
  f.selectionBytes = 15;
  EXPECT_EQ(DocumentInfoText(f),
            "У вас открыт документ \"отчёт.txt\".\n"
            "Он занимает 1 Мб 0 Кб 0 б.\n"
            "Он открывался в течение 1 мин 1 с 0 мс.\n"
            "В документе 22 строчки.\n"
            "Координаты курсора: 5-я строчка, 7-я позиция.\n"
            "В целом это --- 120-я позиция в тексте.\n"
            "В тексте есть выделенный фрагмент.\n"
            "Выделено 15 б. текста");
}

// A file name may hold line breaks and other control codes: the box shows
// them as spaces, as the menus do, so the name stays on its own line.
TEST(DocumentInfo, ControlCodesOfTheNameBecomeSpaces) {
  DocumentFacts f;
  f.fileName = "два\nряда\tи\x7f.txt";
  f.openDurationMs = 5;
  const std::string text = DocumentInfoText(f);
  EXPECT_EQ(text.substr(0, text.find('\n') + 1), "У вас открыт документ \"два ряда и .txt\".\n");
}

}  // namespace
}  // namespace prambus
