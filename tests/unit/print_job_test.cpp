// Printing through a second view on a test printer: margins, page geometry,
// the page-number line, page ranges, copies, the selection, the hex view's
// narrowing and pages too short for one row.
#include "print/print_job.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/test_canvas.h"
#include "views/hex_view.h"
#include "views/text_view.h"
#include "views/view_factory.h"

namespace prambus {
namespace {

// A printer whose sheets are recorded on one test canvas: the texts drawn
// from sheetStarts[i] on belong to sheet i.
class TestPrinter : public PrintDevice {
 public:
  TestPrinter() { canvas.dpi = 254; }  // 100 pixels to the centimetre
  Canvas& SheetCanvas() override { return canvas; }
  int PageWidth() const override { return width; }
  int PageHeight() const override { return height; }
  bool NewSheet() override {
    if (Sheets() == failAfterSheets) return false;
    sheetStarts.push_back(canvas.texts.size());
    return true;
  }

  int Sheets() const { return static_cast<int>(sheetStarts.size()); }
  std::vector<DrawnText> Sheet(int i) const {
    const size_t end = i + 1 < Sheets() ? sheetStarts[i + 1] : canvas.texts.size();
    return {canvas.texts.begin() + static_cast<long>(sheetStarts[i]),
            canvas.texts.begin() + static_cast<long>(end)};
  }
  // The texts of a sheet joined with spaces.
  std::string SheetText(int i) const {
    std::string s;
    for (const DrawnText& t : Sheet(i)) s += (s.empty() ? "" : " ") + t.text;
    return s;
  }

  TestCanvas canvas;
  int width = 400, height = 1000;
  std::vector<size_t> sheetStarts{0};
  int failAfterSheets = -1;
};

std::string Lines(int from, int to) {
  std::string s;
  char line[16];
  for (int i = from; i <= to; ++i) {
    std::snprintf(line, sizeof line, "L%03d\r\n", i);
    s += line;
  }
  return s;
}

std::string Joined(int from, int to) {
  std::string s;
  char line[16];
  for (int i = from; i <= to; ++i) {
    std::snprintf(line, sizeof line, "%sL%03d", s.empty() ? "" : " ", i);
    s += line;
  }
  return s;
}

class PrintJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};    // margins 1, 1, 1 and 0 cm: 100, 100, 100 and 0 pixels
    Cfg().EffOtstupX = 7;  // the screen's margins never reach the paper
    Cfg().EffOtstupY = 5;
  }
  void LoadText(std::string_view text) {
    source = MakeView(kTextView, &screen);
    source->AppendString(text);
  }
  PrintOutcome Print(PrintRequest request = {}, int kind = kTextView) {
    return PrintDocument(*source, kind, printer, Font{}, request, {});
  }

  TestCanvas screen;
  TestPrinter printer;
  std::unique_ptr<ViewBase> source;
};

TEST(PrintGeometry, MarginsRoundHalvesToEven) {
  EXPECT_EQ(CentimetresToPixels(0.05, 127), 2);   // 2.5
  EXPECT_EQ(CentimetresToPixels(1.27, 127), 64);  // 63.5
  EXPECT_EQ(CentimetresToPixels(1.905, 254), 190);
  EXPECT_EQ(CentimetresToPixels(0.0635, 300), 8);  // 7.5
  EXPECT_EQ(CentimetresToPixels(1.0, 300), 118);
  EXPECT_EQ(CentimetresToPixels(-1.0, 300), -118);
  EXPECT_EQ(CentimetresToPixels(1e300, 300), 1000000000);  // any typed number stays in range
  EXPECT_EQ(CentimetresToPixels(std::nan(""), 300), 0);
  Settings s;
  s.LeftMargin = 0.05;
  s.RightMargin = 1.27;
  s.TopMargin = 1.905;
  s.BottomMargin = 0;
  EXPECT_EQ(MarginsInPixels(s, 127, 254), (PrintMargins{2, 64, 190, 0}));
}

TEST(PrintGeometry, ThePrintedFontKeepsItsPhysicalSize) {
  Font f;
  f.height = -16;
  EXPECT_EQ(FontForDevice(f, 96, 300).height, -50);
  EXPECT_EQ(FontForDevice(f, 96, 96).height, -16);
  f.height = -1;
  EXPECT_EQ(FontForDevice(f, 600, 96).height, -1);  // never a zero height
}

TEST_F(PrintJobTest, PagesInsideTheMarginsWithNumbersBelow) {
  LoadText(Lines(1, 320));  // 55 rows a page: 884 pixels between the top margin and the number
  ASSERT_EQ(Print(), PrintOutcome::kPrinted);
  ASSERT_EQ(printer.Sheets(), 6);
  for (int sheet = 0; sheet < 6; ++sheet) {
    std::vector<DrawnText> texts = printer.Sheet(sheet);
    ASSERT_FALSE(texts.empty());
    const DrawnText number = texts.back();
    texts.pop_back();
    EXPECT_EQ(number.text, std::to_string(sheet + 1));
    EXPECT_EQ(number.x, (400 - 8) / 2);
    EXPECT_EQ(number.y, 1000 - 16);
    for (size_t k = 0; k < texts.size(); ++k) {
      EXPECT_EQ(texts[k].x, 100);
      EXPECT_EQ(texts[k].y, 100 + 16 * static_cast<int>(k));
      EXPECT_LE(texts[k].y + 16, number.y);  // above the page-number line, bottom margin 0
    }
  }
  EXPECT_EQ(printer.Sheet(0).front().text, "L001");
  EXPECT_EQ(printer.Sheet(1).front().text, "L056");
  EXPECT_EQ(printer.Sheet(5).size(), 46u);  // L276..L320 and the number

  // Without numbers the page holds 56 rows, down to the bottom margin.
  printer = TestPrinter{};
  Cfg().NumPages = false;
  ASSERT_EQ(Print(), PrintOutcome::kPrinted);
  ASSERT_EQ(printer.Sheets(), 6);
  EXPECT_EQ(printer.SheetText(0), Joined(1, 56));
  EXPECT_EQ(printer.SheetText(5), Joined(281, 320));
}

TEST_F(PrintJobTest, APageRangePrintsOnlyThosePagesAndStopsAfterTheLast) {
  LoadText(Lines(1, 320));
  PrintRequest request;
  request.pages = {{3, 4}};
  ASSERT_EQ(Print(request), PrintOutcome::kPrinted);
  ASSERT_EQ(printer.Sheets(), 2);
  EXPECT_EQ(printer.SheetText(0), Joined(111, 165) + " 3");
  EXPECT_EQ(printer.SheetText(1), Joined(166, 220) + " 4");
  // Pages left out of the range in between are skipped too.
  printer = TestPrinter{};
  request.pages = {{1, 1}, {6, 9}};
  ASSERT_EQ(Print(request), PrintOutcome::kPrinted);
  ASSERT_EQ(printer.Sheets(), 2);
  EXPECT_EQ(printer.SheetText(0), Joined(1, 55) + " 1");
  EXPECT_EQ(printer.SheetText(1), Joined(276, 320) + " 6");
}

TEST_F(PrintJobTest, CopiesComeCollatedOrPageByPage) {
  LoadText(Lines(1, 100));  // two pages
  auto numbers = [&] {
    std::string s;
    for (int i = 0; i < printer.Sheets(); ++i) s += printer.Sheet(i).back().text;
    return s;
  };
  PrintRequest request;
  request.copies = 2;
  ASSERT_EQ(Print(request), PrintOutcome::kPrinted);
  EXPECT_EQ(numbers(), "1212");
  printer = TestPrinter{};
  request.collate = false;
  ASSERT_EQ(Print(request), PrintOutcome::kPrinted);
  EXPECT_EQ(numbers(), "1122");
  EXPECT_EQ(printer.SheetText(1), printer.SheetText(0));
}

TEST_F(PrintJobTest, TheSelectionPrintsAloneFromPageOne) {
  LoadText(Lines(1, 320));
  source->SetPosition(2, 99, false);  // "01" of L100
  source->SetPosition(4, 101, true);  // up to the end of L102
  PrintRequest request;
  request.selectionOnly = true;
  request.pages = {{3, 4}};  // a range does not apply to a selection
  ASSERT_EQ(Print(request), PrintOutcome::kPrinted);
  ASSERT_EQ(printer.Sheets(), 1);
  EXPECT_EQ(printer.SheetText(0), "00 L101 L102 1");
}

TEST_F(PrintJobTest, TheChannelHandsTheWholeDocumentToThePrintView) {
  // Long lines wrapped to the page, a CR LF across a 128-byte boundary,
  // Windows-1251 letters.
  std::string text(127, 'a');
  text += "\r\n";
  for (int i = 0; i < 40; ++i) text += "\xcf\xf0\xe8\xe2\xe5\xf2 word, ";
  text += "\n\n";
  LoadText(text);
  const int kind = kTextView;
  PrintJob job(printer, kind, Font{}, IdentityTable());
  ASSERT_TRUE(job.Ready());
  for (int r = 0; r <= source->LastRow(); ++r) {
    job.Write(source->GetRow(r));
    job.Flush();
  }
  std::string printed;
  for (int r = 0; r <= job.View()->LastRow(); ++r) printed += job.View()->GetRow(r);
  EXPECT_EQ(printed, text);
  auto* view = dynamic_cast<TextView*>(job.View());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->WrapWidth, 200);  // page width less both margins
  for (int r = 0; r <= view->LastRow(); ++r) EXPECT_LE(view->RowWidth(r), 200);
}

TEST_F(PrintJobTest, AUtf8DocumentPrintsItsCharacters) {
  // A character cut by the 128-byte channel and one cut at the very end.
  std::string text(127, 'a');
  text += "жx中\xE4\xB8";
  auto* utf8 = new TextView(&screen);
  source.reset(utf8);
  utf8->SetUtf8(true);
  utf8->AppendString(text);
  utf8->EndAppend();
  ASSERT_EQ(Print(), PrintOutcome::kPrinted);
  const std::string sheet = printer.SheetText(0);
  EXPECT_NE(sheet.find("ж"), std::string::npos);
  EXPECT_NE(sheet.find("中"), std::string::npos);
  int substitutes = 0;  // one for each cut byte
  for (size_t at = 0; (at = sheet.find("\xEF\xBF\xBD", at)) != std::string::npos; at += 3)
    ++substitutes;
  EXPECT_EQ(substitutes, 2);
}

TEST_F(PrintJobTest, AHexDocumentTooWideNarrowsItsColumnsAndKeepsThem) {
  Cfg().NumPages = false;
  std::string bytes;
  for (int i = 0; i < 200; ++i) bytes += static_cast<char>('a' + i % 26);
  auto hex = std::make_unique<HexView>(&screen);
  hex->SetBytes(bytes);
  hex->SetPosition(5, 2, true);  // byte 37, selection to byte 40
  hex->SetPosition(8, 2, false);
  CodeTable table = IdentityTable();
  table['a'] = 'A';
  hex->SetCharTable(table);
  source = std::move(hex);
  printer.width = 500;  // 300 pixels between the margins
  ASSERT_EQ(Print({}, kHexView), PrintOutcome::kPrinted);
  const int n = Cfg().HexColumns;
  ASSERT_LT(n, 16);
  // The widest that fits: one more column would not.
  {
    PrintJob job(printer, kHexView, Font{}, IdentityTable());
    EXPECT_LE(job.View()->GetDocumentWidth(), 300);
    Cfg().HexColumns = n + 1;
    EXPECT_GT(job.View()->GetDocumentWidth(), 300);
    Cfg().HexColumns = n;
  }
  // The screen's hex view keeps its cursor and selection on the same bytes.
  auto* screenHex = dynamic_cast<HexView*>(source.get());
  EXPECT_EQ(screenHex->CursorOffset(), 37);
  EXPECT_EQ(screenHex->AnchorOffset(), 40);
  EXPECT_EQ(screenHex->LastRow(), 200 / n);
  // The character area, right of the margin line, holds every byte in order
  // through the current encoding, one cell each.
  int marginX = -1;
  for (const std::vector<Point>& line : printer.canvas.lines)
    if (marginX < 0 && line.size() == 2 && line[0].x == line[1].x) marginX = line[0].x;
  ASSERT_GE(marginX, 0);
  std::string chars;
  for (const DrawnText& t : printer.canvas.texts)
    if (t.x > marginX && t.text != "\xf2\xe5\xea\xf1\xf2") chars += t.text;  // not "текст"
  std::string expected = bytes;
  for (char& c : expected)
    if (c == 'a') c = 'A';
  EXPECT_EQ(chars, expected);
}

TEST_F(PrintJobTest, APageShorterThanOneRowStillEnds) {
  Cfg().NumPages = false;
  printer.height = 110;  // 10 pixels below the top margin, rows are 16
  LoadText(Lines(1, 5));
  ASSERT_EQ(Print(), PrintOutcome::kPrinted);
  ASSERT_EQ(printer.Sheets(), 5);  // a row a page; the empty row after the last line end takes none
  EXPECT_EQ(printer.SheetText(0), "L001");
  EXPECT_EQ(printer.SheetText(4), "L005");

  // The hex view: no room even for its header still moves one row a page.
  printer = TestPrinter{};
  printer.height = 110;
  printer.width = 1000;  // sixteen columns fit
  auto hex = std::make_unique<HexView>(&screen);
  hex->SetBytes(std::string(40, 'x'));
  source = std::move(hex);
  ASSERT_EQ(Print({}, kHexView), PrintOutcome::kPrinted);
  EXPECT_EQ(Cfg().HexColumns, 16);
  EXPECT_EQ(printer.Sheets(), 3);
}

TEST_F(PrintJobTest, NoRoomOnThePageOrAFailingPrinterFails) {
  LoadText(Lines(1, 320));
  Cfg().LeftMargin = 2.5;
  Cfg().RightMargin = 1.5;  // 400 pixels of margins on a 400-pixel page
  EXPECT_EQ(Print(), PrintOutcome::kFailed);
  EXPECT_TRUE(printer.canvas.texts.empty());

  Cfg() = Settings{};
  printer = TestPrinter{};
  printer.failAfterSheets = 2;
  EXPECT_EQ(Print(), PrintOutcome::kFailed);
  EXPECT_EQ(printer.Sheets(), 2);
}

TEST_F(PrintJobTest, ProgressReportsPagesAndCancels) {
  LoadText(Lines(1, 320));
  std::vector<int> pages;
  auto cancelAtThree = [&](const PrintProgress& p) {
    if (p.page > 0) pages.push_back(p.page);
    return p.page < 3;
  };
  EXPECT_EQ(PrintDocument(*source, kTextView, printer, Font{}, {}, cancelAtThree),
            PrintOutcome::kCancelled);
  EXPECT_EQ(pages, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(printer.Sheets(), 3);

  // Feeding a long document reports the bytes and cancels as well.
  LoadText(std::string(300000, 'x'));
  int64_t fed = 0;
  auto cancelWhileFeeding = [&](const PrintProgress& p) {
    EXPECT_EQ(p.page, 0);
    EXPECT_EQ(p.totalBytes, 300000);
    fed = p.fedBytes;
    return p.fedBytes < 128 * 1024;
  };
  EXPECT_EQ(PrintDocument(*source, kTextView, printer, Font{}, {}, cancelWhileFeeding),
            PrintOutcome::kCancelled);
  EXPECT_GE(fed, 128 * 1024);
  EXPECT_LT(fed, 128 * 1024 + 64);
}

}  // namespace
}  // namespace prambus
