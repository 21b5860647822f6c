// "Заменить всё" in one pass against the replacing one match at a time
// ("Заменить" until the search ends): the same bytes, count, undo history,
// cursor and message, in the text view and the hex view.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shell/find_replace.h"
#include "shell/pass_progress.h"
#include "shell/replace_pass.h"
#include "support/test_canvas.h"
#include "views/hex_codes.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {
namespace {

struct Case {
  std::string text, find, replace;
  bool caseSensitive = false;
  int selectFrom = -1, selectTo = -1;  // a selection to replace in, or none
  int64_t lengthLimit = kMaxDocumentSize;
  int undoBudget = 1000000;
  bool codes = false;  // hex view: "Заменять коды"
};

struct Outcome {
  std::string bytes, message;
  int count = 0, cursor = 0, anchor = 0;
  bool finished = false;
  std::vector<std::string> undo;  // kind, offsets and text of each record
};

std::string Describe(const UndoRecord& r) {
  return std::to_string(r.kind) + " " + std::to_string(r.beforeOffset) + "-" +
         std::to_string(r.afterOffset) + " [" + r.text + "]";
}

std::string AllBytes(ViewBase& v) {
  std::string s;
  v.ReadRange(0, static_cast<int>(v.GetTextLength()), s, nullptr);
  return s;
}

class ReplaceAllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};
    Cfg().EffOtstupX = Cfg().EffOtstupY = 0;
  }

  std::unique_ptr<ViewBase> MakeView(const Case& c, bool hex) {
    std::unique_ptr<ViewBase> v;
    if (hex) {
      auto h = std::make_unique<HexView>(&canvas_);
      h->SetBytes(c.text);
      v = std::move(h);
    } else {
      auto t = std::make_unique<TextView>(&canvas_);
      t->WrapWidth = 96;
      t->AppendString(c.text);
      v = std::move(t);
    }
    v->SetViewWidth(800);
    v->SetViewHeight(160);
    v->SetLengthLimit(c.lengthLimit);
    v->TypeChar('.');  // a history from before
    v->Undo();
    v->Redo();
    v->Undo();
    if (c.selectFrom >= 0) {
      for (const bool cursor : {false, true}) {
        int col = cursor ? c.selectTo : c.selectFrom, row = 0;
        v->OffsetToPos(col, row);
        v->SetPosition(col, row, cursor);
      }
    }
    return v;
  }

  ReplaceSession Session(const Case& c, ViewBase& v) {
    ReplaceSession s;
    s.options.find = c.find;
    s.options.replace = c.replace;
    s.options.caseSensitive = c.caseSensitive;
    s.options.replaceCodes = c.codes;
    s.hooks.setSearchAs = [](ViewBase& view, int as) {
      if (auto* hex = dynamic_cast<HexView*>(&view)) hex->SearchAs = static_cast<uint8_t>(as);
    };
    s.hooks.parseCodes = [](const std::string& text, std::string& bytes) {
      bytes = ParseCodeText(text, Cfg().TextBaseSyst);
      return !bytes.empty();
    };
    s.Show(v.HasSelection());
    return s;
  }

  Outcome Finish(ViewBase& v, const ReplaceSession& s, int count, const std::string& message) {
    Outcome o;
    o.bytes = AllBytes(v);
    o.count = count;
    o.message = message;
    o.finished = s.Finished;
    o.cursor = v.PosToOffset(v.CursorColumn(), v.CursorRow());
    o.anchor = v.PosToOffset(v.AnchorColumn(), v.AnchorRow());
    for (const UndoRecord& r : v.UndoStack()) o.undo.push_back(Describe(r));
    return o;
  }

  Outcome OnePass(const Case& c, bool hex) {
    Cfg().MaxUndoLen = c.undoBudget;
    auto v = MakeView(c, hex);
    ReplaceSession s = Session(c, *v);
    std::string message;
    const int count = s.ReplaceAll(*v, message);
    return Finish(*v, s, count, message);
  }

  Outcome OneByOne(const Case& c, bool hex) {
    Cfg().MaxUndoLen = c.undoBudget;
    auto v = MakeView(c, hex);
    ReplaceSession s = Session(c, *v);
    std::string message;
    int count = 0;
    s.FindNext(*v, message);
    while (!s.Finished) count += s.Replace(*v, message);
    return Finish(*v, s, count, message);
  }

  void ExpectSame(const Case& c, bool hex) {
    const Outcome a = OnePass(c, hex), b = OneByOne(c, hex);
    const std::string what = (hex ? "hex: " : "text: ") + c.find + " -> " + c.replace;
    EXPECT_EQ(a.bytes, b.bytes) << what;
    EXPECT_EQ(a.count, b.count) << what;
    EXPECT_EQ(a.message, b.message) << what;
    EXPECT_EQ(a.finished, b.finished) << what;
    EXPECT_EQ(a.cursor, b.cursor) << what;
    EXPECT_EQ(a.anchor, b.anchor) << what;
    EXPECT_EQ(a.undo, b.undo) << what;
  }

  TestCanvas canvas_;
};

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST_F(ReplaceAllTest, OnePassLeavesWhatReplacingOneByOneLeaves) {
  const std::string words = Repeat("alpha, Beta; ALPHA gamma\r\nalpha\n", 12);
  const std::vector<Case> cases = {
      {words, "alpha", "omega"},
      {words, "alpha", "omega", true},
      {words, "a", "aa"},
      {words, "a", ""},  // deletions of one letter join
      {Repeat("aaa-", 30), "a", ""},
      {words, "alpha", ""},
      {words, "ha\r\n", "HA "},  // a match ending with a line end
      {words, "\r\n", "\n"},
      {words, "ha\n", "\r\n"},
      {"x\rab\ny\rab\n", "ab", "\r"},               // CR and LF meeting across a replacement
      {words, "gamma", "g", false, 7, 130},         // inside a selection
      {words, "alpha", "alphabet", false, 0, 200},  // a growing one moves its end
      {words, "alpha", "alphabet", false, -1, -1, static_cast<int64_t>(words.size()) + 10},
      {Repeat("ab", 400), "ab", "abc", false, -1, -1, kMaxDocumentSize, 600},  // a small budget
      // Deletions only: the budget holds the last hundred of 150 records.
      {Repeat("ab-", 150), "ab", "", false, -1, -1, kMaxDocumentSize, 2300},
      {Repeat("\xB8\xEB\xEA\xE0 \xA8\xCB\xCA\xC0 ", 20), "\xA8\xCB\xCA\xC0", "x"},  // ёлка ЁЛКА
  };
  for (const Case& c : cases) ExpectSame(c, false);
  for (const Case& c : cases) ExpectSame(c, true);
  Case codes{"\x01\x02\x03\x01\x02 0102", "01 02", "ff"};
  codes.codes = true;
  ExpectSame(codes, true);
}

// Each match is one of the text before: a replacement ending in CR before
// a LF, which makes one line end of the two, is never searched again (one
// by one, the search after it started at that LF and found it for ever).
TEST_F(ReplaceAllTest, ReplacementsAreNeverSearchedAgain) {
  for (const bool hex : {false, true}) {
    Case c{"a\nb\n", "\n", "\r\n"};
    auto v = MakeView(c, hex);
    ReplaceSession s = Session(c, *v);
    std::string message;
    EXPECT_EQ(s.ReplaceAll(*v, message), 2);
    EXPECT_EQ(AllBytes(*v), "a\r\nb\r\n");
    v->Undo();
    v->Undo();
    EXPECT_EQ(AllBytes(*v), "a\nb\n");
  }
}

// Every byte replaced by nothing leaves one empty row, as wide as nothing.
TEST_F(ReplaceAllTest, ReplacingEverythingByNothingLeavesAnEmptyDocument) {
  Case c{Repeat("ab\r\n", 40), "ab\r\n", ""};
  auto v = MakeView(c, false);
  ASSERT_GT(v->GetDocumentWidth(), 0);
  ReplaceSession s = Session(c, *v);
  std::string message;
  EXPECT_EQ(s.ReplaceAll(*v, message), 40);
  EXPECT_EQ(v->LastRow(), 0);
  EXPECT_EQ(v->GetTextLength(), 0);
  EXPECT_EQ(v->GetDocumentWidth(), 0);
  EXPECT_EQ(static_cast<TextView&>(*v).RowWidth(0), 0);
}

// After "Заменить всё" the view moves only as far as the caret after the last
// replacement needs: where that caret is in sight, the view stays put, even
// though the first match was scrolled out of it.
TEST_F(ReplaceAllTest, TheViewStaysWhereTheCaretAfterTheLastReplacementIsInSight) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += i == 5 || i == 60 ? "zz\n" : "line\n";
  Case c{text, "zz", "yy"};
  auto v = MakeView(c, false);
  ReplaceSession s = Session(c, *v);
  std::string message;
  ASSERT_TRUE(s.FindNext(*v, message));  // the first match selected, on row 5
  const int64_t top = int64_t{55} * v->LineHeight();
  v->SetScrollY(top);  // scrolled on, the last match in sight
  ASSERT_EQ(v->ScrollY(), top);
  EXPECT_EQ(s.ReplaceAll(*v, message), 2);
  EXPECT_EQ(v->CursorRow(), 60);
  EXPECT_EQ(v->ScrollY(), top);
}

// The matches are found first, piece by piece: stopped there, the document,
// its history and revision stay as they were, and the match stays selected.
TEST_F(ReplaceAllTest, StoppedWhileSearchingChangesNothing) {
  const std::string text = Repeat("lorem ipsum dolor, ", 200000);
  for (const bool hex : {false, true}) {
    Case c{text, "dolor", "x"};
    auto v = MakeView(c, hex);
    ReplaceSession s = Session(c, *v);
    std::string message;
    ASSERT_TRUE(s.FindNext(*v, message));
    const uint64_t revision = v->Revision();
    const size_t records = v->UndoStack().size();
    int64_t lastDone = -1, reports = 0;
    const int count = s.ReplaceAll(*v, message, [&](int64_t done, int64_t total) {
      EXPECT_GT(done, lastDone);
      EXPECT_LE(done, total);
      lastDone = done;
      return ++reports < 2;
    });
    EXPECT_EQ(count, 0);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(AllBytes(*v), text);
    EXPECT_EQ(v->Revision(), revision);
    EXPECT_EQ(v->UndoStack().size(), records);
    EXPECT_EQ(v->GetSelectedText(), "dolor");
    EXPECT_EQ(s.ReplaceAll(*v, message), 200000);  // asked again, it runs to the end
  }
}

// Matches never run on past a hard line's end, and are found left to right
// without overlapping one another, wherever the pieces of the search fall.
TEST(ReplacePassTest, MatchesStopAtLineEndsAndDoNotOverlap) {
  std::vector<int> starts;
  const std::string text = "aaaa\r\na\r\naXa";
  ASSERT_TRUE(FindAllMatches(text, {"aa", true}, {6, 9}, {}, starts));
  EXPECT_EQ(starts, (std::vector<int>{0, 2}));
  starts.clear();
  ASSERT_TRUE(FindAllMatches(text, {"a\r\na", true}, {6, 9}, {}, starts));
  EXPECT_TRUE(starts.empty());
  starts.clear();
  ASSERT_TRUE(FindAllMatches(text, {"A\r\n", false}, {6, 9}, {}, starts));
  EXPECT_EQ(starts, (std::vector<int>{3, 6}));
  EXPECT_EQ(ReplacedSpan(text, starts, 3, "-"), "--");
  // Across the pieces of a long text, in either case.
  std::string longText(3 << 20, 'x');
  for (size_t i = 0; i + 3 < longText.size(); i += 4097) longText.replace(i, 3, "\xE0\xC0z");
  for (const bool exact : {true, false}) {
    starts.clear();
    ASSERT_TRUE(
        FindAllMatches(longText, {exact ? "\xE0\xC0z" : "\xC0\xE0Z", exact}, {}, {}, starts));
    EXPECT_EQ(starts.size(), (longText.size() - 3) / 4097 + 1);
  }
}

// A pass long enough to report hears last that its search is over, and
// stopped at that report it still changes nothing.
TEST_F(ReplaceAllTest, ALongPassReportsTheEndOfItsSearchLast) {
  const std::string text = Repeat("lorem ipsum dolor, ", 200000);
  for (const bool stopAtTheEnd : {false, true}) {
    Case c{text, "dolor", "x"};
    auto v = MakeView(c, false);
    ReplaceSession s = Session(c, *v);
    std::string message;
    const uint64_t revision = v->Revision();
    int64_t lastDone = -1, lastTotal = -1;
    const int count = s.ReplaceAll(*v, message, [&](int64_t done, int64_t total) {
      lastDone = done;
      lastTotal = total;
      return !(stopAtTheEnd && done == total);
    });
    EXPECT_GT(lastTotal, 0);
    EXPECT_EQ(lastDone, lastTotal);
    if (stopAtTheEnd) {
      EXPECT_EQ(count, 0);
      EXPECT_EQ(v->Revision(), revision);
      EXPECT_EQ(AllBytes(*v), text);
    } else {
      EXPECT_EQ(count, 200000);
    }
  }
}

// A pass shows its progress from the start over a large region, over a
// small one only once it proves slow; the percentage never reads 100 while
// the pass still runs, nor anything odd for an empty region.
TEST(PassProgressTest, ShownForLargeOrSlowPassesAndNeverAtTheEnd) {
  EXPECT_FALSE(PassShowsProgress(kPassLargeRegionBytes - 1, kPassQuietMs - 1));
  EXPECT_TRUE(PassShowsProgress(kPassLargeRegionBytes, 0));
  EXPECT_TRUE(PassShowsProgress(1, kPassQuietMs));
  EXPECT_EQ(ReplaceProgressText(0, 300), "Замена… 0%  (Esc — остановить)");
  EXPECT_EQ(ReplaceProgressText(1, 300), "Замена… 0%  (Esc — остановить)");  // rounded down
  EXPECT_EQ(ReplaceProgressText(1, 3), "Замена… 33%  (Esc — остановить)");
  EXPECT_EQ(ReplaceProgressText(2, 3), "Замена… 66%  (Esc — остановить)");
  EXPECT_EQ(ReplaceProgressText(299, 300), "Замена… 99%  (Esc — остановить)");
  // The search is over: what follows cannot be stopped, and no hint says so.
  EXPECT_EQ(ReplaceProgressText(3, 3), "Замена…");
  EXPECT_EQ(ReplaceProgressText(0, 0), "Замена…");
  EXPECT_EQ(ReplaceProgressText(int64_t{2147483647}, int64_t{2147483647} * 2),
            "Замена… 50%  (Esc — остановить)");
}

}  // namespace
}  // namespace prambus
