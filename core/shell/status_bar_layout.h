// How the status bar shares its width among its six panels and, while a
// file loads, the progress label after them.
#pragma once

#include <array>

namespace prambus {

// Each panel's own width: the first five are at least this wide, the last at
// least this and takes whatever room the others leave.
inline constexpr std::array<int, 6> kStatusPanelWidths = {70, 70, 80, 60, 80, 50};

struct StatusBarWidths {
  std::array<int, 6> panels{};
  int progress = 0;  // 0 when no load runs
};

// needed: the width each panel's text takes with its frame; progressNeeded:
// the progress label's, 0 when no load runs; room: the width of the bar;
// gap: the space between two neighbours. The first five panels grow to fit
// their texts. The progress is shown whole while it lasts: the last panel
// yields to it, down to its own width, before the progress is cut.
StatusBarWidths LayOutStatusBar(const std::array<int, 6>& needed, int progressNeeded, int room,
                                int gap);

}  // namespace prambus
