#include "shell/status_bar_layout.h"

#include <algorithm>

namespace prambus {

StatusBarWidths LayOutStatusBar(const std::array<int, 6>& needed, int progressNeeded, int room,
                                int gap) {
  StatusBarWidths w;
  int used = 0;
  for (int i = 0; i < 5; ++i) {
    w.panels[i] = std::max(kStatusPanelWidths[i], needed[i]);
    used += w.panels[i] + gap;
  }
  int left = std::max(0, room - used);  // for the last panel and the progress
  if (progressNeeded > 0) {
    const int lastPanel = std::min(left, kStatusPanelWidths[5]);
    w.progress = std::max(0, std::min(progressNeeded, left - lastPanel - gap));
    left -= w.progress + gap;
  }
  w.panels[5] = std::max(kStatusPanelWidths[5], left);
  return w;
}

}  // namespace prambus
