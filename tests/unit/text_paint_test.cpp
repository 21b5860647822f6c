// Painting of the text view: runs, selection colours, tabs, glyphs for
// non-printing characters, horizontal scrolling and print-mode pages; the
// caret point and scrolling to it.
#include <tuple>

#include "support/text_view_fixture.h"

namespace prambus {
namespace {

TEST_F(TextViewTest, PaintDrawsEachRowAsOneRun) {
  Load("abc def\r\nxyz");
  view->Paint();
  ASSERT_EQ(canvas.texts.size(), 2u);
  EXPECT_EQ(canvas.texts[0].text, "abc def");
  EXPECT_EQ(canvas.texts[0].y, 0);
  EXPECT_EQ(canvas.texts[1].text, "xyz");
  EXPECT_EQ(canvas.texts[1].y, 16);
  EXPECT_FALSE(canvas.texts[0].opaque);
}

TEST_F(TextViewTest, SelectionIsDrawnOpaqueInItsColours) {
  Load("abcdef\r\nghijkl");
  view->SetPosition(2, 0, false);  // anchor
  view->SetPosition(3, 1, true);   // cursor
  view->Paint();
  ASSERT_EQ(canvas.texts.size(), 4u);
  EXPECT_EQ(canvas.texts[0].text, "ab");
  EXPECT_FALSE(canvas.texts[0].opaque);
  EXPECT_EQ(canvas.texts[1].text, "cdef");
  EXPECT_TRUE(canvas.texts[1].opaque);
  EXPECT_EQ(canvas.texts[1].fontColor, Cfg().ChosenTextClr);
  EXPECT_EQ(canvas.texts[1].brushColor, Cfg().ChosenFonClr);
  EXPECT_EQ(canvas.texts[1].x, 16);
  EXPECT_EQ(canvas.texts[2].text, "ghi");
  EXPECT_TRUE(canvas.texts[2].opaque);
  EXPECT_EQ(canvas.texts[3].text, "jkl");
  EXPECT_FALSE(canvas.texts[3].opaque);
  EXPECT_TRUE(canvas.Transparent());  // restored after painting
}

TEST_F(TextViewTest, TabsAreSpacesOutsideAndFilledInsideTheSelection) {
  Load("a\tb", 1000);
  view->Paint();
  ASSERT_EQ(canvas.texts.size(), 3u);
  EXPECT_EQ(canvas.texts[1].text, "        ");
  EXPECT_EQ(canvas.texts[2].text, "b");
  EXPECT_EQ(canvas.texts[2].x, 64);
  canvas.ClearRecords();
  view->SetPosition(0, 0, false);
  view->SetPosition(3, 0, true);
  view->Paint();
  ASSERT_EQ(canvas.rects.size(), 1u);
  EXPECT_EQ(canvas.rects[0].rect, (Rect{8, 0, 64, 16}));
  EXPECT_EQ(canvas.rects[0].color, Cfg().ChosenFonClr);
}

TEST_F(TextViewTest, NonPrintingCharactersAreDrawnAsGlyphs) {
  Load("a b\r\n", 1000);
  view->ToggleNonPrinting(true);
  view->Paint();
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].text,
            "a\xB7"
            "b\xAC\xB6");  // middle dot, not sign, pilcrow
}

TEST_F(TextViewTest, HorizontalScrollCutsThePartlyHiddenCharacter) {
  Load("abcdefgh", 1000);
  view->SetScrollX(12);
  view->Paint();
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].text, "bcdefgh");
  EXPECT_EQ(canvas.texts[0].x, -4);
  // One pixel of "b" left in view still draws it; none, and "c" comes first.
  for (const auto& [scroll, text, x] : {std::tuple{15, "bcdefgh", -7}, {16, "cdefgh", 0}}) {
    view->SetScrollX(scroll);
    canvas.ClearRecords();
    view->Paint();
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].text, text) << scroll;
    EXPECT_EQ(canvas.texts[0].x, x) << scroll;
  }
}

TEST_F(TextViewTest, PrintModeDrawsWholeRowsPageByPage) {
  std::string lines;
  for (int i = 0; i < 24; ++i) lines += "line\r\n";
  // Six whole rows of 16 px a page. The empty row after a final line end
  // starts no page; a last row with text after a full page does.
  for (const auto& [text, pageCount, lastText] :
       {std::tuple{lines + "line\r\n", 5, "line"}, {lines, 4, "line"}, {lines + "end", 5, "end"}}) {
    Load(text, 1000);
    view->SetViewHeight(100);
    view->SetScrollY(0);
    view->BeginPrinting();
    int pages = 0;
    std::string last;
    do {
      canvas.ClearRecords();
      view->Paint();
      ++pages;
      for (const auto& t : canvas.texts) EXPECT_LE(t.y + 16, 100);
      if (!canvas.texts.empty()) last = canvas.texts.back().text;
    } while (!view->PrintDone() && pages < 10);
    EXPECT_EQ(pages, pageCount) << lastText;
    EXPECT_EQ(last, lastText);
  }
}

// A match over several rows that fits the view, even exactly, is scrolled
// until its last row shows; a taller one keeps its first row in view.
TEST_F(TextViewTest, AMatchExactlyAsTallAsTheViewShowsWhole) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "w" + std::to_string(100000 + i) + " ";
  Load(text, 200);  // one paragraph, three words a row
  const RowList laidOut = Rows();
  const int lh = 16, shown = view->ViewHeight() / lh;  // whole rows in the view
  ASSERT_GT(static_cast<int>(laidOut.size()), 20 + shown + 1);
  for (const int extra : {0, 1}) {
    std::string match;
    for (int r = 20; r < 20 + shown + extra; ++r) match += laidOut[static_cast<size_t>(r)];
    match.pop_back();  // ends before its last row's blank, inside that row
    view->SetPosition(0, 0, true);
    view->SetPosition(0, 0, false);
    view->SetScrollY(0);
    int limit = 1000000;
    ASSERT_TRUE(view->FindText(match, limit, false, true));
    if (extra == 0)
      EXPECT_EQ(view->ScrollY(), 20 * lh);  // the match fills the view
    else
      EXPECT_LE(view->ScrollY(), 20 * lh);  // its first row stays in view
  }
}

TEST_F(TextViewTest, ScrollToCaretKeepsTheCaretInsideTheView) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "row\r\n";
  Load(text, 1000);
  view->SetPosition(0, 30, true);
  EXPECT_GT(view->ScrollY(), 0);
  EXPECT_LE(view->GetCaretPoint().y + 16, view->ViewHeight());
  view->SetPosition(0, 2, true);
  EXPECT_EQ(view->ScrollY(), 32);  // the caret row is the top row
  EXPECT_EQ(view->GetCaretPoint().y, 0);
  Load(std::string(100, 'x'), 100000);
  view->SetPosition(25, 0, true);  // the caret on the right edge shows: no scroll
  EXPECT_EQ(view->ScrollX(), 0);
  view->SetPosition(60, 0, true);
  EXPECT_EQ(view->ScrollX(), 64 * 8 - 200 + 2);  // four characters beyond the caret stay visible
  view->SetPosition(30, 0, true);  // left of the view: three characters before the caret show
  EXPECT_EQ(view->ScrollX(), (30 - Cfg().HScrollStep + 1) * 8);
  view->SetPosition(1, 0, true);
  EXPECT_EQ(view->ScrollX(), 0);
  // Only a blank the caret stands after may hang past the right edge
  // unscrolled: a caret before it, or after a tab that begins past the edge,
  // scrolls the view.
  for (const auto& [text, col] :
       {std::pair{std::string(30, 'x') + " ", 26}, std::pair{std::string(28, 'x') + "\t", 29}}) {
    Load(text, 100000);
    view->SetPosition(0, 0, true);
    ASSERT_EQ(view->ScrollX(), 0);
    view->SetPosition(col, 0, true);
    EXPECT_GT(view->ScrollX(), 0) << col;
  }
}

}  // namespace
}  // namespace prambus
