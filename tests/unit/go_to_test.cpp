// "Перейти...": what the user may type, and where it puts the cursor in the
// text view (hard lines across wrapped rows) and in the hex view (offsets).
#include "shell/go_to.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/text_view_fixture.h"
#include "views/hex_view.h"

namespace prambus {
namespace {

GoToRequest Parsed(std::string_view text, GoToUnit unit, int base = 16) {
  GoToRequest r;
  std::string error;
  EXPECT_TRUE(ParseGoTo(text, unit, base, r, error)) << text << ": " << error;
  return r;
}

std::string Refused(std::string_view text, GoToUnit unit, int base = 16) {
  GoToRequest r;
  std::string error;
  EXPECT_FALSE(ParseGoTo(text, unit, base, r, error)) << text;
  return error;
}

constexpr int64_t kFar = std::numeric_limits<int64_t>::max();

TEST(GoToParse, LinesWithColumnsAndSteps) {
  const GoToRequest line = Parsed(" 120 ", GoToUnit::kLine);
  EXPECT_FALSE(line.relative);
  EXPECT_EQ(line.amount, 120);
  EXPECT_EQ(line.column, 0);
  EXPECT_EQ(Parsed("120:5", GoToUnit::kLine).column, 5);
  EXPECT_EQ(Parsed("120, 5", GoToUnit::kLine).column, 5);
  EXPECT_EQ(Parsed("120:0", GoToUnit::kLine).column, 1);  // positions count from 1
  EXPECT_EQ(Parsed("48 213", GoToUnit::kLine).amount, 48213);
  // Lines are decimal whatever the hex view's base: 10 is line ten.
  EXPECT_EQ(Parsed("10", GoToUnit::kLine, 16).amount, 10);

  const GoToRequest down = Parsed("+10", GoToUnit::kLine);
  EXPECT_TRUE(down.relative);
  EXPECT_EQ(down.amount, 10);
  EXPECT_EQ(Parsed("-3", GoToUnit::kLine).amount, -3);
  EXPECT_EQ(Parsed("\xE2\x88\x92"
                   "3",
                   GoToUnit::kLine)
                .amount,
            -3);  // the typographic minus
  EXPECT_EQ(Parsed("+2:7", GoToUnit::kLine).column, 7);

  // A number no document reaches is kept as the farthest line.
  EXPECT_EQ(Parsed("99999999999999999999999999", GoToUnit::kLine).amount, kFar);
  EXPECT_EQ(Parsed("-99999999999999999999999999", GoToUnit::kLine).amount, -kFar);
}

TEST(GoToParse, OffsetsInTheViewsBaseOrWithAPrefix) {
  EXPECT_EQ(Parsed("1F4A0", GoToUnit::kOffset).amount, 0x1F4A0);
  EXPECT_EQ(Parsed("1f4a0", GoToUnit::kOffset).amount, 0x1F4A0);
  EXPECT_EQ(Parsed("0001F4A0", GoToUnit::kOffset).amount, 0x1F4A0);  // as the coordinates show it
  EXPECT_EQ(Parsed("0x1F4A0", GoToUnit::kOffset, 10).amount, 0x1F4A0);
  EXPECT_EQ(Parsed("#128160", GoToUnit::kOffset).amount, 128160);
  EXPECT_EQ(Parsed("101", GoToUnit::kOffset, 2).amount, 5);
  EXPECT_EQ(Parsed("Z", GoToUnit::kOffset, 36).amount, 35);
  // In base 36 "x" is a digit, yet the prefix means hexadecimal.
  EXPECT_EQ(Parsed("0x10", GoToUnit::kOffset, 36).amount, 16);

  const GoToRequest back = Parsed("-#16", GoToUnit::kOffset);
  EXPECT_TRUE(back.relative);
  EXPECT_EQ(back.amount, -16);
  EXPECT_EQ(Parsed("+0x10", GoToUnit::kOffset, 10).amount, 16);
  EXPECT_EQ(Parsed("- 10", GoToUnit::kOffset).amount, -16);
}

TEST(GoToParse, GarbageIsRefusedWithWhatToType) {
  for (const char* text :
       {"abc", "12a", "12:", ":5", "12:-3", "1.5", "+", "-", "0x", "#", "1-2", "12:5:6"}) {
    const std::string error = Refused(text, GoToUnit::kLine);
    EXPECT_NE(error.find("«" + std::string(text) + "»"), std::string::npos) << error;
    EXPECT_NE(error.find("120:5"), std::string::npos) << error;
  }
  EXPECT_NE(Refused("", GoToUnit::kLine).find("номер строки"), std::string::npos);
  EXPECT_NE(Refused("   ", GoToUnit::kOffset).find("смещение"), std::string::npos);
  // Digits of another base, and a column where offsets have none.
  const std::string notHex = Refused("1G", GoToUnit::kOffset);
  EXPECT_NE(notHex.find("шестнадцатеричной записи (1F4A0)"), std::string::npos) << notHex;
  EXPECT_NE(Refused("12", GoToUnit::kOffset, 2).find("двоичной записи"), std::string::npos);
  Refused("1F", GoToUnit::kOffset, 10);
  Refused("10:2", GoToUnit::kOffset);
  // Past base 36 no digit set is known: nothing is read, not even "Z".
  Refused("Z", GoToUnit::kOffset, 37);
}

// Three hard lines, the first wrapped over three rows of ten characters.
class GoToTextTest : public TextViewTest {
 protected:
  void SetUp() override {
    TextViewTest::SetUp();
    Load("aaaa bbbb cccc dddd eeee\r\nsecond\r\nthird", 80);
    ASSERT_GE(view->LastRow(), 4);  // wrapped indeed
  }
  void Go(std::string_view text, bool extend = false) {
    ApplyGoTo(*view, GoToUnit::kLine, Parsed(text, GoToUnit::kLine), extend);
  }
  std::string_view CursorRowText() const { return view->GetRow(view->CursorRow()); }
};

TEST_F(GoToTextTest, LinesAreHardLinesAcrossWrappedRows) {
  EXPECT_EQ(HardLineCount(*view), 3);
  Go("2");
  EXPECT_EQ(CursorRowText(), "second\r\n");
  EXPECT_EQ(view->CursorColumn(), 0);
  EXPECT_EQ(HardLineOfRow(*view, view->CursorRow()), 1);
  EXPECT_FALSE(view->HasSelection());
  // A position inside the wrapped first line lands on the row that holds it.
  Go("1:12");
  EXPECT_EQ(HardLineOfRow(*view, view->CursorRow()), 0);
  EXPECT_EQ(view->PosToOffset(view->CursorColumn(), view->CursorRow()), 11);
  // Past the end of a line: its end, before the line end.
  Go("2:99");
  EXPECT_EQ(CursorRowText(), "second\r\n");
  EXPECT_EQ(view->CursorColumn(), 6);
}

TEST_F(GoToTextTest, PastEitherEndStopsAtIt) {
  Go("3");
  Go("999");
  EXPECT_EQ(view->CursorRow(), view->LastRow());
  EXPECT_EQ(view->CursorColumn(), 5);  // the end of "third", the document's end
  Go("0");
  EXPECT_EQ(view->CursorRow(), 0);
  EXPECT_EQ(view->CursorColumn(), 0);
  Go("99999999999999999999999999:3");
  EXPECT_EQ(view->CursorColumn(), 5);
}

TEST_F(GoToTextTest, StepsCountFromTheCursorsLine) {
  Go("1:12");  // inside the wrapped first line, on its second row
  Go("+1");
  EXPECT_EQ(CursorRowText(), "second\r\n");
  Go("+1:3");
  EXPECT_EQ(CursorRowText(), "third");
  EXPECT_EQ(view->CursorColumn(), 2);
  Go("-1");
  EXPECT_EQ(CursorRowText(), "second\r\n");
  Go("-99999999999999999999999999");
  EXPECT_EQ(view->CursorRow(), 0);
  Go("+99999999999999999999999999");
  EXPECT_EQ(view->CursorRow(), view->LastRow());
}

TEST_F(GoToTextTest, ExtendingKeepsTheAnchorAsShiftDoes) {
  Go("2:2");
  Go("3:4", true);
  EXPECT_TRUE(view->HasSelection());
  EXPECT_EQ(view->GetSelectedText(), "econd\r\nthi");
  Go("1");  // a plain jump drops the selection
  EXPECT_FALSE(view->HasSelection());
}

TEST_F(TextViewTest, LoneCarriageReturnsAndLineFeedsEndLinesToo) {
  Load("one\rtwo\nthree\r\n");
  EXPECT_EQ(HardLineCount(*view), 4);  // the empty line after the last line end
  ApplyGoTo(*view, GoToUnit::kLine, Parsed("3", GoToUnit::kLine), false);
  EXPECT_EQ(view->GetRow(view->CursorRow()), "three\r\n");
  ApplyGoTo(*view, GoToUnit::kLine, Parsed("4", GoToUnit::kLine), false);
  EXPECT_EQ(view->CursorRow(), view->LastRow());
  EXPECT_EQ(view->CursorColumn(), 0);
}

class GoToHexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};
    view = std::make_unique<HexView>(&canvas);
    view->SetViewWidth(800);
    view->SetViewHeight(400);
    view->SetBytes(std::string(100, 'x'));  // rows of 16 bytes
  }
  void Go(std::string_view text, bool extend = false) {
    ApplyGoTo(*view, GoToUnit::kOffset, Parsed(text, GoToUnit::kOffset), extend);
  }
  TestCanvas canvas;
  std::unique_ptr<HexView> view;
};

TEST_F(GoToHexTest, OffsetsPutTheCursorOnTheirByte) {
  view->CursorDigit = view->AnchorDigit = 1;  // inside a code
  Go("21");
  EXPECT_EQ(view->CursorOffset(), 0x21);
  EXPECT_EQ(view->CursorRow(), 2);
  EXPECT_EQ(view->CursorColumn(), 1);
  EXPECT_EQ(view->CursorDigit, 0);
  EXPECT_FALSE(view->HasSelection());
  Go("+#10");
  EXPECT_EQ(view->CursorOffset(), 0x21 + 10);
  Go("-0x100");
  EXPECT_EQ(view->CursorOffset(), 0);
  Go("FFFFFFFFFFFFFFFFFFFFFF");  // past the end: the end position after the last byte
  EXPECT_EQ(view->CursorOffset(), 100);
  Go("+99999999999999999999999999");
  EXPECT_EQ(view->CursorOffset(), 100);
}

TEST_F(GoToHexTest, ExtendingSelectsTheBytesBetween) {
  Go("10");
  Go("14", true);
  EXPECT_EQ(view->AnchorOffset(), 0x10);
  EXPECT_EQ(view->GetSelectedText(), "xxxx");
}

}  // namespace
}  // namespace prambus
