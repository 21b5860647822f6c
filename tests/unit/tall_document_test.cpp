// Documents taller than 2^31 pixels (many rows times a tall row): the end is
// reached, paged from, painted, clicked and searched to without the scroll
// position or a row's y overflowing.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "settings/settings.h"
#include "support/test_canvas.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {
namespace {

constexpr int kRowHeight = 4096;
constexpr int kViewHeight = 4 * kRowHeight;

class TallDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};
    Cfg().EffOtstupX = Cfg().EffOtstupY = 0;
    canvas.SetHeight(kRowHeight);
  }
  // The caret stands on the view, whatever the scroll position.
  static void ExpectCaretOnView(const ViewBase& v) {
    EXPECT_GE(v.GetCaretPoint().y, 0);
    EXPECT_LE(v.GetCaretPoint().y, v.ViewHeight() + kRowHeight);
  }
  TestCanvas canvas;
};

// 2^20 rows of two bytes: 2^32 pixels at this row height.
TEST_F(TallDocumentTest, HexViewReachesPagesPaintsAndClicksAtTheEnd) {
  Cfg().HexColumns = 2;
  HexView view(&canvas);
  view.SetViewWidth(800);
  view.SetViewHeight(kViewHeight);
  std::string bytes(size_t{2} << 20, 'a');
  bytes[bytes.size() - 3] = 'z';
  view.SetBytes(bytes);
  const int64_t height = view.GetDocumentHeight();
  EXPECT_EQ(height, int64_t{kRowHeight} * (view.LastRow() + 1) + kRowHeight + view.LinePixels + 4);
  EXPECT_GT(height, int64_t{UINT_MAX});

  // Ctrl+End.
  const int length = static_cast<int>(bytes.size());
  view.SetPosition(0, view.LastRow(), true);
  view.SetPosition(0, view.LastRow(), false);
  EXPECT_EQ(view.CursorOffset(), length);
  EXPECT_GT(view.ScrollY(), int64_t{INT_MAX});
  ExpectCaretOnView(view);

  // The rows painted are the last ones, at their places on the view.
  view.Paint();
  bool matchDrawn = false;
  for (const DrawnText& t : canvas.texts) {
    EXPECT_GE(t.y, 0);
    EXPECT_LT(t.y, kViewHeight);
    if (t.text == "z") matchDrawn = true;
  }
  EXPECT_TRUE(matchDrawn);

  // Paging up keeps the caret in view; paging back returns to the end.
  int desired = -1;
  view.PageUp(false, desired);
  EXPECT_LT(view.CursorRow(), view.LastRow());
  ExpectCaretOnView(view);
  view.PageDown(false, desired);
  view.PageDown(false, desired);
  EXPECT_EQ(view.CursorOffset(), length);
  ExpectCaretOnView(view);

  // A click on the view's first row lands on that row of the document.
  const int64_t topRow = view.ScrollY() / kRowHeight;
  view.MoveToPoint(view.GetCaretArea().left + 2, view.ScrollY() + view.GetCaretArea().top + 1, true,
                   false);
  EXPECT_EQ(view.CursorRow(), topRow);

  // Home, then a search scrolls to the match near the end.
  view.SetPosition(0, 0, true);
  view.SetPosition(0, 0, false);
  EXPECT_EQ(view.ScrollY(), 0);
  int limit = INT_MAX;
  ASSERT_TRUE(view.FindText("z", limit, false, true));
  EXPECT_EQ(view.CursorOffset(), length - 3);
  EXPECT_GT(view.ScrollY(), int64_t{INT_MAX});
  ExpectCaretOnView(view);
}

// 2^20 + 16 lines: more than 2^32 pixels at this line height.
TEST_F(TallDocumentTest, TextViewReachesPaintsAndClicksAtTheEnd) {
  TextView view(&canvas);
  view.SetViewWidth(200);
  view.SetViewHeight(kViewHeight);
  view.WrapWidth = 200;
  std::string text((size_t{1} << 20) + 16, '\n');
  text.replace(text.size() - 4, 4, "\nab\n");
  for (size_t i = 0; i < text.size(); i += 65536)
    view.AppendBytes(reinterpret_cast<const uint8_t*>(text.data() + i),
                     static_cast<int>(std::min<size_t>(65536, text.size() - i)));
  view.EndAppend();
  EXPECT_EQ(view.GetDocumentHeight(), int64_t{kRowHeight} * view.RowCount());
  EXPECT_GT(view.GetDocumentHeight(), int64_t{UINT_MAX});

  int limit = INT_MAX;
  ASSERT_TRUE(view.FindText("ab", limit, false, true));
  EXPECT_EQ(view.CursorRow(), view.LastRow() - 1);
  EXPECT_GT(view.ScrollY(), int64_t{INT_MAX});
  ExpectCaretOnView(view);

  view.Paint();
  ASSERT_FALSE(canvas.texts.empty());
  EXPECT_EQ(canvas.texts.back().text, "ab");
  EXPECT_EQ(int64_t{canvas.texts.back().y},
            int64_t{kRowHeight} * (view.LastRow() - 1) - view.ScrollY());

  // A click one row above the line goes to the row above it.
  const int64_t rowAbove = int64_t{kRowHeight} * (view.LastRow() - 2);
  view.MoveToPoint(0, rowAbove + 1, true, false);
  EXPECT_EQ(view.CursorRow(), view.LastRow() - 2);
  ExpectCaretOnView(view);
}

}  // namespace
}  // namespace prambus
