// The Ctrl+Tab switcher's decisions: its rows (the recent files, and the
// current document when the list does not hold it), its size, where it
// appears, how the selection moves, and the band each row is painted in.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "settings/stored_state.h"

namespace prambus {

inline constexpr char kUntitledName[] = "Безымянный.txt";

struct SwitcherLayout {
  std::vector<std::string> names;  // one per row, UTF-8
  bool extraRow = false;           // the last row is the current document, not in the list
  int rowHeight = 0;
  int width = 0, height = 0;
  int Rows() const { return static_cast<int>(names.size()); }
  // Whether the row is the current document's extra row (it opens nothing).
  bool IsExtraRow(int row) const { return extraRow && row == Rows() - 1; }
};

// textHeight: the height of "1" in the switcher's font; textWidth measures a
// UTF-8 name in it; the work area bounds the window. Rows run to the last
// used entry; rows that do not fit in the work area are left off.
SwitcherLayout LayOutSwitcher(const std::vector<RecentEntry>& recent,
                              const std::string& currentPath, int textHeight,
                              const std::function<int(const std::string&)>& textWidth,
                              int workWidth, int workHeight);

// The next selected row: one down (wrapping to 0) or, backwards, one up
// (wrapping to the last row).
int StepSwitcherRow(int selected, int rows, bool backwards);

// The switcher's top-left corner: centred on the main window, inside the
// screen horizontally, above the pointer when its bottom would reach the
// screen's bottom, its top at least the screen's top. The screen may lie
// anywhere on the desktop (left of or above the primary one).
Point PlaceSwitcher(const Rect& mainWindow, int width, int height, Point pointer,
                    const Rect& screen);

// The band of a row in client pixels: text height + 2 high, one pixel in
// from the frame; the separating line lies just under it.
Rect SwitcherBand(int row, int rowHeight, int textHeight, int clientWidth);

}  // namespace prambus
