// The recent list as the menu and the switcher use it, the pinned records and
// the walk over the pinned-files dialog's lines, and the switcher's rows,
// size, placement and selection.
#include <gtest/gtest.h>

#include "shell/pinned_files.h"
#include "shell/recent_list.h"
#include "shell/recent_switcher.h"
#include "shell/shown_name.h"
#include "shell/window_layout.h"

namespace prambus {
namespace {

std::vector<RecentEntry> ListOf(std::initializer_list<const char*> paths, size_t size) {
  std::vector<RecentEntry> list(size);
  size_t i = 0;
  for (const char* p : paths) list[i++].path = p;
  return list;
}

std::vector<std::string> Paths(const std::vector<RecentEntry>& list) {
  std::vector<std::string> out;
  for (const RecentEntry& e : list) out.push_back(e.path);
  return out;
}

TEST(RecentList, FiveEntriesDropTheOldestAndMoveARepeatToTheHead) {
  std::vector<RecentEntry> list(5);
  for (const char* p : {"/e", "/d", "/c", "/b", "/a"}) PushRecent(list, p, 0, 0, 1);
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"/a", "/b", "/c", "/d", "/e"}));
  PushRecent(list, "/f", 4, 9, 2);  // a sixth file: /e falls off
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"/f", "/a", "/b", "/c", "/d"}));
  PushRecent(list, "/c", 3, 5, 2);  // at position 3: to the head, no duplicate
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"/c", "/f", "/a", "/b", "/d"}));
  EXPECT_EQ(list[0].col, 3);
  EXPECT_EQ(list[0].row, 5);
  EXPECT_EQ(list[1].col, 4);        // the moved entries keep their cursors
  PushRecent(list, "/d", 0, 0, 1);  // the last entry: it simply falls off the end
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"/d", "/c", "/f", "/a", "/b"}));

  RemoveRecentPath(list, "/f");
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"/d", "/c", "/a", "/b", ""}));
  EXPECT_EQ(list[4].col, 0);
  RemoveRecentPath(list, "/nowhere");
  EXPECT_EQ(list[3].path, "/b");
}

TEST(RecentList, ALoadedListIsCompactedWithoutDuplicates) {
  std::vector<RecentEntry> list = ListOf({"/a", "", "/b", "/a", "/c"}, 6);
  list[2].col = 7;
  CompactRecent(list);
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"/a", "/b", "/c", "", "", ""}));
  EXPECT_EQ(list[1].col, 7);
}

TEST(RecentList, MenuPlanAndCaptions) {
  const auto list = ListOf({"/a", "/b", "/c"}, 5);
  EXPECT_EQ(PlanRecentMenu(list, 5, false).count, 3);
  EXPECT_FALSE(PlanRecentMenu(list, 5, false).subMenu);
  EXPECT_TRUE(PlanRecentMenu(list, 5, true).subMenu);
  EXPECT_EQ(PlanRecentMenu(list, 2, false).count, 2);
  EXPECT_FALSE(PlanRecentMenu(ListOf({}, 5), 5, true).subMenu);  // nothing to list
  EXPECT_EQ(PlanRecentMenu(list, 0, true).count, 0);

  EXPECT_EQ(ShownNameOf("/home/u/Отчёт & план.txt"), "Отчёт & план.txt");
  EXPECT_EQ(MenuCaptionOf(ShownNameOf("/d/a&b.txt")), "a&&b.txt");
  EXPECT_EQ(ShownNameOf("/d/two\nlines\t.txt"), "two lines .txt");
  EXPECT_EQ(ShownNameOf("plain"), "plain");
  EXPECT_EQ(ShownPathOf("/a\rb/c\x7f.txt"), "/a b/c .txt");
}

TEST(PinnedFiles, RecordsAreAddedUpToOneHundred) {
  std::vector<WindowAppearance> pinned;
  WindowAppearance now;
  now.width = 640;
  now.stayOnTop = true;
  EXPECT_TRUE(AddPinnedRecord(pinned, "/a", now));
  EXPECT_EQ(pinned[0].path, "/a");
  EXPECT_EQ(pinned[0].width, 640);
  EXPECT_FALSE(pinned[0].stayOnTop);  // stay-on-top is never pinned
  while (pinned.size() < 100) AddPinnedRecord(pinned, "/p" + std::to_string(pinned.size()), now);
  EXPECT_FALSE(AddPinnedRecord(pinned, "/one-more", now));
  EXPECT_EQ(pinned.size(), 100u);
  EXPECT_EQ(FindPinned(pinned, "/p50"), 50);
  EXPECT_EQ(FindPinned(pinned, "/P50"), -1);  // exact, case-sensitive
}

TEST(PinnedFiles, TheWalkAddsRemovesAndStopsAtTheLimit) {
  WindowAppearance old, now;
  old.width = 300;
  now.width = 900;
  std::vector<WindowAppearance> pinned;
  AddPinnedRecord(pinned, "/keep", old);
  AddPinnedRecord(pinned, "/drop", old);
  AddPinnedRecord(pinned, "/drop", old);  // a duplicate from a settings file

  std::vector<PinnedLine> lines = {{"/keep", true}, {"/drop", false}};
  EXPECT_TRUE(AddPinnedLine(lines, "/new"));
  EXPECT_FALSE(AddPinnedLine(lines, "/keep"));
  EXPECT_TRUE(ApplyPinnedLines(pinned, lines, now));
  ASSERT_EQ(pinned.size(), 2u);
  EXPECT_EQ(pinned[0].width, 300);  // a listed record is kept as it was
  EXPECT_EQ(pinned[1].path, "/new");
  EXPECT_EQ(pinned[1].width, 900);

  // At 100 records the first new checked line stops the walk: a removal after
  // it is not done, one before it is.
  while (pinned.size() < 100) AddPinnedRecord(pinned, "/p" + std::to_string(pinned.size()), old);
  lines = {{"/p10", false}, {"/x", true}};
  EXPECT_TRUE(ApplyPinnedLines(pinned, lines, now));  // /p10 made room for /x
  EXPECT_EQ(FindPinned(pinned, "/p10"), -1);
  EXPECT_GE(FindPinned(pinned, "/x"), 0);
  lines = {{"/z", true}, {"/p20", false}};
  EXPECT_FALSE(ApplyPinnedLines(pinned, lines, now));
  EXPECT_EQ(FindPinned(pinned, "/z"), -1);
  EXPECT_GE(FindPinned(pinned, "/p20"), 0);
  EXPECT_EQ(pinned.size(), 100u);
}

TEST(PinnedFiles, TheDialogOpensOnePixelFromThePointerAndOnTheScreen) {
  const Rect screen{0, 0, 1280, 1024};
  EXPECT_EQ(PlaceAtPointer({640, 300}, 778, 191, screen, 1), (Point{251, 301}));
  // Near the left and right edges: held inside the screen.
  EXPECT_EQ(PlaceAtPointer({10, 300}, 778, 191, screen, 1), (Point{0, 301}));
  EXPECT_EQ(PlaceAtPointer({1270, 300}, 778, 191, screen, 1), (Point{502, 301}));
  // Its bottom would reach the screen's bottom: above the pointer.
  EXPECT_EQ(PlaceAtPointer({640, 831}, 778, 191, screen, 1), (Point{251, 832}));
  EXPECT_EQ(PlaceAtPointer({640, 832}, 778, 191, screen, 1), (Point{251, 640}));
  // A screen too low for either: the top stays on it.
  EXPECT_EQ(PlaceAtPointer({640, 100}, 778, 191, {0, 0, 1280, 200}, 1), (Point{251, 0}));
  EXPECT_EQ(PlaceAtPointer({-50, 10}, 778, 191, {-1280, 0, 0, 1024}, 1), (Point{-778, 11}));
}

int EightPerByte(const std::string& s) {
  return 8 * static_cast<int>(s.size());
}

TEST(Switcher, RowsAreTheListThenTheCurrentDocument) {
  const auto list = ListOf({"/d/a.txt", "/d/longer-name.txt", "/d/c"}, 5);
  SwitcherLayout l = LayOutSwitcher(list, "/d/a.txt", 13, EightPerByte, 1000, 700);
  EXPECT_EQ(l.names, (std::vector<std::string>{"a.txt", "longer-name.txt", "c"}));
  EXPECT_FALSE(l.extraRow);
  EXPECT_EQ(l.rowHeight, 16);
  EXPECT_EQ(l.height, 3 * 16 + 1);
  EXPECT_EQ(l.width, 8 * 15 + 20);

  // A file not in the list, and a new document, get a last row of their own;
  // the untitled name counts in the width.
  l = LayOutSwitcher(list, "/other/x.txt", 13, EightPerByte, 1000, 700);
  EXPECT_EQ(l.Rows(), 4);
  EXPECT_EQ(l.names.back(), "x.txt");
  EXPECT_TRUE(l.IsExtraRow(3));
  EXPECT_FALSE(l.IsExtraRow(2));
  l = LayOutSwitcher(ListOf({"/c"}, 5), "", 13, EightPerByte, 1000, 700);
  EXPECT_EQ(l.names, (std::vector<std::string>{"c", "Безымянный.txt"}));
  EXPECT_EQ(l.width, EightPerByte("Безымянный.txt") + 20);

  // Bounded by the work area: width, and whole rows of height.
  l = LayOutSwitcher(list, "/other/x.txt", 13, EightPerByte, 100, 40);
  EXPECT_EQ(l.width, 100);
  EXPECT_EQ(l.Rows(), 2);  // (40 - 1) div 16
  EXPECT_EQ(l.height, 33);
  EXPECT_FALSE(l.extraRow);
}

TEST(Switcher, SelectionWrapsBothWays) {
  EXPECT_EQ(StepSwitcherRow(0, 3, false), 1);
  EXPECT_EQ(StepSwitcherRow(2, 3, false), 0);
  EXPECT_EQ(StepSwitcherRow(0, 3, true), 2);
  EXPECT_EQ(StepSwitcherRow(2, 3, true), 1);
  EXPECT_EQ(StepSwitcherRow(1, 3, true), 0);  // back to the first row, not past it
  EXPECT_EQ(StepSwitcherRow(0, 1, false), 0);
  // No row to select (a screen too low for one): the selection stays on 0.
  EXPECT_EQ(StepSwitcherRow(0, 0, true), 0);
  EXPECT_EQ(StepSwitcherRow(0, 0, false), 0);
}

TEST(Switcher, PlacedOnTheMainWindowAndOnTheScreen) {
  const Rect main{100, 100, 900, 700};
  EXPECT_EQ(PlaceSwitcher(main, 200, 100, {0, 0}, {0, 0, 1280, 1024}), (Point{400, 350}));
  // Near the right edge: kept inside; near the bottom: above the pointer.
  EXPECT_EQ(PlaceSwitcher({1200, 950, 1300, 1050}, 200, 100, {1250, 1000}, {0, 0, 1280, 1024}),
            (Point{1080, 899}));
  EXPECT_EQ(PlaceSwitcher({-500, 0, -300, 1000}, 200, 1200, {10, 20}, {0, 0, 1280, 1024}),
            (Point{0, 0}));
  // A screen left of and above the primary one: held inside it, not at 0.
  EXPECT_EQ(
      PlaceSwitcher({-1900, -1000, -1700, -900}, 400, 100, {-1800, -950}, {-1920, -1080, 0, 0}),
      (Point{-1920, -1000}));
  EXPECT_EQ(PlaceSwitcher({-200, -150, 0, -50}, 200, 300, {-100, -100}, {-1920, -1080, 0, 0}),
            (Point{-200, -401}));
  const Rect band = SwitcherBand(2, 16, 13, 140);
  EXPECT_EQ(band, (Rect{1, 33, 139, 48}));
}

}  // namespace
}  // namespace prambus
