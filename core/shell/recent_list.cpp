#include "shell/recent_list.h"

namespace prambus {

void PushRecent(std::vector<RecentEntry>& list, const std::string& path, int col, int row,
                uint8_t viewKind) {
  if (path.empty() || list.empty()) return;
  const size_t n = list.size();
  size_t i = n - 1;
  for (size_t k = 0; k + 1 < n; ++k) {
    if (list[k].path == path) {
      i = k;
      break;
    }
  }
  for (size_t j = i; j >= 1; --j) list[j] = list[j - 1];
  list[0] = {path, col, row, viewKind};
}

void RemoveRecent(std::vector<RecentEntry>& list, size_t index) {
  if (index >= list.size()) return;
  for (size_t j = index; j + 1 < list.size(); ++j) list[j] = list[j + 1];
  list.back() = RecentEntry{};
}

int FindRecent(const std::vector<RecentEntry>& list, const std::string& path) {
  for (size_t i = 0; i < list.size(); ++i)
    if (!list[i].path.empty() && list[i].path == path) return static_cast<int>(i);
  return -1;
}

}  // namespace prambus
