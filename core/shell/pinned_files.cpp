#include "shell/pinned_files.h"

#include <algorithm>

namespace prambus {

int FindPinned(const std::vector<WindowAppearance>& pinned, const std::string& path) {
  for (size_t i = 0; i < pinned.size(); ++i)
    if (pinned[i].path == path) return static_cast<int>(i);
  return -1;
}

bool AddPinnedRecord(std::vector<WindowAppearance>& pinned, const std::string& path,
                     const WindowAppearance& appearance) {
  if (pinned.size() >= static_cast<size_t>(kMaxPinned)) return false;
  WindowAppearance record = appearance;
  record.path = path;
  record.stayOnTop = false;
  pinned.push_back(std::move(record));
  return true;
}

bool AddPinnedLine(std::vector<PinnedLine>& lines, const std::string& path) {
  for (const PinnedLine& l : lines)
    if (l.path == path) return false;
  lines.push_back({path, true});
  return true;
}

bool ApplyPinnedLines(std::vector<WindowAppearance>& pinned, const std::vector<PinnedLine>& lines,
                      const WindowAppearance& appearance) {
  for (const PinnedLine& line : lines) {
    if (!line.checked) {
      std::erase_if(pinned, [&](const WindowAppearance& w) { return w.path == line.path; });
    } else if (FindPinned(pinned, line.path) < 0 &&
               !AddPinnedRecord(pinned, line.path, appearance)) {
      return false;
    }
  }
  return true;
}

}  // namespace prambus
