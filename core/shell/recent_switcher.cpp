#include "shell/recent_switcher.h"

#include <algorithm>

#include "shell/shown_name.h"

namespace prambus {

SwitcherLayout LayOutSwitcher(const std::vector<RecentEntry>& recent,
                              const std::string& currentPath, int textHeight,
                              const std::function<int(const std::string&)>& textWidth,
                              int workWidth, int workHeight) {
  SwitcherLayout l;
  size_t used = recent.size();
  while (used > 0 && recent[used - 1].path.empty()) --used;
  bool listed = false;
  for (size_t i = 0; i < used; ++i) {
    l.names.push_back(recent[i].path.empty() ? kUntitledName : ShownNameOf(recent[i].path));
    if (!currentPath.empty() && recent[i].path == currentPath) listed = true;
  }
  const std::string current = currentPath.empty() ? kUntitledName : ShownNameOf(currentPath);
  if (!listed) l.names.push_back(current);
  l.extraRow = !listed;

  int width = textWidth(current) + 20;
  for (const std::string& name : l.names) width = std::max(width, textWidth(name) + 20);
  l.width = std::min(width, workWidth);

  l.rowHeight = textHeight + 3;
  int rows = l.Rows();
  if (rows * l.rowHeight + 1 > workHeight) rows = std::max(0, (workHeight - 1) / l.rowHeight);
  if (rows < l.Rows()) {
    l.names.resize(static_cast<size_t>(rows));
    l.extraRow = false;  // the current document's row, last, is the first to fall off
  }
  l.height = rows * l.rowHeight + 1;
  return l;
}

int StepSwitcherRow(int selected, int rows, bool backwards) {
  if (rows <= 0) return 0;
  if (backwards) return selected <= 0 || selected >= rows ? rows - 1 : selected - 1;
  return selected + 1 >= rows || selected < 0 ? 0 : selected + 1;
}

Point PlaceSwitcher(const Rect& mainWindow, int width, int height, Point pointer,
                    const Rect& screen) {
  Point p;
  p.x = mainWindow.left + (mainWindow.right - mainWindow.left - width) / 2;
  p.y = mainWindow.top + (mainWindow.bottom - mainWindow.top - height) / 2;
  p.x = std::max(screen.left, std::min(p.x, screen.right - width));
  if (p.y + height >= screen.bottom) p.y = pointer.y - height - 1;
  p.y = std::max(screen.top, p.y);
  return p;
}

Rect SwitcherBand(int row, int rowHeight, int textHeight, int clientWidth) {
  const int top = 1 + row * rowHeight;
  return {1, top, clientWidth - 1, top + textHeight + 2};
}

}  // namespace prambus
