// Decisions of the main window that need no widget: the path hash, the
// dialog filters, the view kind of a file, the recent list, the status texts
// and the message-box layout.
#include <gtest/gtest.h>

#include "shell/file_rules.h"
#include "shell/message_layout.h"
#include "shell/recent_list.h"
#include "shell/status_bar_layout.h"
#include "shell/status_text.h"
#include "support/test_canvas.h"

namespace prambus {
namespace {

TEST(PathHash, CarriesTheBlockValueAcrossBlocks) {
  EXPECT_EQ(PathHash(u""), 0u);
  EXPECT_EQ(PathHash(u"a"), 97u);
  // 9 units: the first block a = "abcdefgh" folded, then a*256 + 'i'.
  uint32_t a = 0;
  for (char16_t c : std::u16string(u"abcdefgh")) a = a * 256 + c;
  const uint32_t first = a;
  a = a * 256 + u'i';
  EXPECT_EQ(PathHash(u"abcdefghi"), first * 3 + a);
  EXPECT_NE(PathHash(u"/home/a/doc.txt"), PathHash(u"/home/b/doc.txt"));
}

TEST(DialogFilters, GroupsBindingsByView) {
  const std::vector<ExtensionBinding> b = {{".txt", 0}, {".dat", 0}, {".hex", 1}};
  EXPECT_EQ(
      DialogFilter(b),
      "Файлы для текстового редактора|*.txt;*.dat|Файлы для hex-редактора|*.hex|Все файлы|*.*");
  EXPECT_EQ(DialogFilter({}), "Все файлы|*.*");
  EXPECT_EQ(FilterIndexOf(b, ".dat"), 1);
  EXPECT_EQ(FilterIndexOf(b, ".hex"), 2);
  EXPECT_EQ(FilterIndexOf(b, ".zip"), 3);
  EXPECT_EQ(FilterIndexOf({{".hex", 1}}, ".txt"), 2);
  EXPECT_EQ(FirstExtensionOfGroup(b, 1), ".txt");
  EXPECT_EQ(FirstExtensionOfGroup(b, 2), ".hex");
  EXPECT_EQ(FirstExtensionOfGroup(b, 3), "");
}

TEST(ViewKindOfAFile, RecentListThenBindingThenDefault) {
  const std::vector<ExtensionBinding> b = {{".hex", 1}};
  std::vector<RecentEntry> recent = {{"/d/x.hex", 0, 0, 1, {}}, {}};
  EXPECT_EQ(ChooseViewKind("/d/x.hex", recent, b, true, 1), 1);
  EXPECT_EQ(ChooseViewKind("/d/x.hex", recent, b, false, 1), 2);
  EXPECT_EQ(ChooseViewKind("/d/y.txt", recent, b, true, 2), 2);
  EXPECT_EQ(ExtensionOf("/a.b/file"), "");
  EXPECT_EQ(ExtensionOf("/a/file.tar.gz"), ".gz");
}

TEST(RecentList, PushesWithoutDuplicatesAndRemoves) {
  std::vector<RecentEntry> list(5);
  for (const char* p : {"a", "b", "c", "d", "e"}) PushRecent(list, p, 1, 2, 1);
  EXPECT_EQ(list[0].path, "e");
  PushRecent(list, "f", 0, 0, 1);  // the oldest falls off
  EXPECT_EQ(list[4].path, "b");
  PushRecent(list, "c", 7, 8, 2);  // at position 3: moves to the head
  EXPECT_EQ(list[0].path, "c");
  EXPECT_EQ(list[0].col, 7);
  EXPECT_EQ(list[1].path, "f");
  EXPECT_EQ(list[4].path, "b");
  PushRecent(list, "", 0, 0, 1);  // a new document is never added
  EXPECT_EQ(list[0].path, "c");
  RemoveRecent(list, 1);
  EXPECT_EQ(list[1].path, "e");
  EXPECT_EQ(list[4].path, "");
}

TEST(StatusTexts, PanelsAndLineCountEndings) {
  EXPECT_EQ(LineCountText(1), "1 строка");
  EXPECT_EQ(LineCountText(11), "11 строк");
  EXPECT_EQ(LineCountText(112), "112 строк");
  EXPECT_EQ(LineCountText(22), "22 строки");
  StatusInput in;
  in.openDurationMs = 1005;
  in.encodingCaption = "&DOS";
  const auto p = StatusPanels(in);
  EXPECT_EQ(p[0], "1 : 1");
  EXPECT_EQ(p[1], "");
  EXPECT_EQ(p[3], "Вставка");
  EXPECT_EQ(p[4], "1.005 сек.");
  EXPECT_EQ(p[5], "Кодировка - DOS");
  // A line-end conversion in force is named beside the encoding.
  for (const auto& [lineEnd, name] : {std::pair{"\n", "#10"}, {"\r", "#13"}, {"\r\n", "#13#10"}}) {
    in.savedLineEnd = lineEnd;
    EXPECT_EQ(StatusPanels(in)[5], std::string("Кодировка - DOS, переводы строки - ") + name);
  }
}

// Panels grow to fit their texts; the last takes the rest. A load's progress
// is whole while the last panel can yield, down to its own width, for it.
TEST(StatusBarLayout, TheLastPanelYieldsToTheProgressFirst) {
  const std::array<int, 6> needed = {30, 0, 118, 55, 60, 140};
  StatusBarWidths w = LayOutStatusBar(needed, 0, 800, 2);
  EXPECT_EQ(w.panels, (std::array<int, 6>{70, 70, 118, 60, 80, 800 - 408}));
  EXPECT_EQ(w.progress, 0);
  w = LayOutStatusBar(needed, 220, 800, 2);
  EXPECT_EQ(w.progress, 220);
  EXPECT_EQ(w.panels[5], 800 - 408 - 222);
  w = LayOutStatusBar(needed, 220, 408 + 222 + 50, 2);  // the last panel at its own width
  EXPECT_EQ(w.progress, 220);
  EXPECT_EQ(w.panels[5], 50);
  w = LayOutStatusBar(needed, 220, 408 + 150, 2);  // then the progress is cut
  EXPECT_EQ(w.progress, 98);
  EXPECT_EQ(w.panels[5], 50);
  w = LayOutStatusBar(needed, 220, 300, 2);  // narrower than the first five
  EXPECT_EQ(w.progress, 0);
  EXPECT_EQ(w.panels[5], 50);
}

TEST(MessageLayout, SixButtonsMakeTwoEvenRows) {
  TestCanvas canvas;
  Settings s;
  const std::vector<std::string> captions = {"a", "b", "c", "d", "e", "f"};
  const MessageLayout m = LayOutMessage(canvas, s, "text", captions, 1280, 1024, {640, 512});
  ASSERT_EQ(m.buttons.size(), 6u);
  EXPECT_EQ(m.buttons[0].top, m.buttons[3].top);
  EXPECT_LT(m.buttons[3].top, m.buttons[4].top);
  EXPECT_EQ(m.buttons[4].top, m.buttons[5].top);
  // Each row is spread symmetrically over the client width.
  const int leftGap = m.buttons[4].left, rightGap = m.clientWidth - m.buttons[5].right;
  EXPECT_LE(std::abs(leftGap - rightGap), 1);
  // A button that does not fit starts a row of its own, with room for as
  // many buttons as any row.
  const std::vector<std::string> wide = {std::string(25, 'A'),
                                         std::string(25, 'B'),
                                         std::string(25, 'C'),
                                         std::string(50, 'L'),
                                         "d",
                                         "e",
                                         "f"};
  const MessageLayout w = LayOutMessage(canvas, s, "text", wide, 1100, 1024, {550, 512});
  ASSERT_EQ(w.buttons.size(), 7u);
  EXPECT_EQ(w.buttons[0].top, w.buttons[2].top);
  EXPECT_LT(w.buttons[2].top, w.buttons[3].top);
  EXPECT_EQ(w.buttons[3].top, w.buttons[6].top);
  // A lone button: the dialog is as wide as it and its margins.
  const MessageLayout one = LayOutMessage(canvas, s, "", {"OK"}, 1280, 1024, {640, 512});
  ASSERT_EQ(one.buttons.size(), 1u);
  EXPECT_EQ(one.clientWidth, 2 * s.MarginforButton + (one.buttons[0].right - one.buttons[0].left));
}

TEST(MessageLayout, LongParagraphGrowsToAboutThreeAndAHalfToOne) {
  TestCanvas canvas;
  Settings s;
  std::string text;
  for (int i = 0; i < 120; ++i) text += "word ";
  auto words = [](const MessageLayout& m) {  // every word is drawn, none is cut
    int n = 0;
    for (const auto& l : m.lines)
      for (size_t at = l.text.find("word"); at != std::string::npos;
           at = l.text.find("word", at + 4))
        ++n;
    return n;
  };
  const MessageLayout m = LayOutMessage(canvas, s, text, {"OK"}, 4000, 3000, {2000, 1500});
  const double ratio =
      double(m.textRect.right - m.textRect.left) / (m.textRect.bottom - m.textRect.top);
  EXPECT_GT(ratio, 2.5);
  EXPECT_LT(ratio, 4.5);
  EXPECT_EQ(words(m), 120);
  // The rectangle holds its lines and a pixel above and below them.
  EXPECT_EQ(m.textRect.bottom - m.textRect.top, 1 + m.lineHeight * int(m.lines.size()) + 1);
  // On a narrow, tall screen the width stops at the screen's and the text
  // grows taller instead.
  const MessageLayout narrow = LayOutMessage(canvas, s, text, {"OK"}, 400, 3000, {200, 1500});
  EXPECT_EQ(words(narrow), 120);
  EXPECT_EQ(narrow.clientWidth, 400);  // the text and its margins fill the screen's width
}

TEST(MessageLayout, EmptyTextIsOneLineAndTheBoxStaysOnScreen) {
  TestCanvas canvas;
  Settings s;
  const MessageLayout m = LayOutMessage(canvas, s, "", {"ОК"}, 800, 600, {795, 595});
  EXPECT_GE(m.textRect.bottom - m.textRect.top, 16);
  EXPECT_LE(m.left + m.clientWidth, 800);
  EXPECT_LE(m.top + m.clientHeight, 600);
}

// A CR LF or LF CR pair is one line break, at the text's start too; two
// equal breaks are two.
TEST(MessageLayout, ALineBreakPairIsOneBreak) {
  TestCanvas canvas;
  Settings s;
  auto lines = [&](const std::string& text) {
    const MessageLayout m = LayOutMessage(canvas, s, text, {"OK"}, 800, 600, {400, 300});
    EXPECT_EQ(m.textRect.bottom - m.textRect.top, 1 + m.lineHeight * int(m.lines.size()) + 1)
        << text;
    return m.lines.size();
  };
  EXPECT_EQ(lines("\nab"), 2u);
  EXPECT_EQ(lines("\r\nab"), 2u);
  EXPECT_EQ(lines("\n\rab"), 2u);
  EXPECT_EQ(lines("ab\r\ncd\n\nef"), 4u);
  EXPECT_EQ(lines("\n\nab"), 3u);
}

// On a screen too low for the text, the lines drawn are those that fit
// whole in the text rectangle, from one pixel below its top.
TEST(MessageLayout, ALowScreenShowsTheLinesThatFitWhole) {
  TestCanvas canvas;
  Settings s;
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line\n";
  for (int screenH = 120; screenH < 200; ++screenH) {
    const MessageLayout m = LayOutMessage(canvas, s, text, {"OK"}, 800, screenH, {400, 60});
    const int height = m.textRect.bottom - m.textRect.top;
    ASSERT_LT(height, 30 * m.lineHeight);
    EXPECT_EQ(int(m.lines.size()), height / m.lineHeight) << screenH;
  }
}

TEST(MessageLayout, LongWordsBreakOnlyInANearlyEmptyLine) {
  TestCanvas canvas;  // 8 px per character
  const std::string text = "ab " + std::string(40, 'x');
  // 100 px: "ab " is less than half full, so the long word is broken into it.
  EXPECT_EQ(BreakLine(canvas, text, 0, 100), 12u);
  const std::string text2 = "abcdefgh " + std::string(40, 'x');
  // The line is more than half full: it ends before the word and its blank.
  EXPECT_EQ(BreakLine(canvas, text2, 0, 100), 8u);
}

}  // namespace
}  // namespace prambus
