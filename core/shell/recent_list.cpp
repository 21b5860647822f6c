#include "shell/recent_list.h"

#include <algorithm>
#include <set>

namespace prambus {

void PushRecent(std::vector<RecentEntry>& list, const std::string& path, int col, int row,
                uint8_t viewKind, std::string_view encodingId) {
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
  list[0] = {path, col, row, viewKind, std::string(encodingId)};
}

void RemoveRecent(std::vector<RecentEntry>& list, size_t index) {
  if (index >= list.size()) return;
  for (size_t j = index; j + 1 < list.size(); ++j) list[j] = list[j + 1];
  list.back() = RecentEntry{};
}

void RemoveRecentPath(std::vector<RecentEntry>& list, const std::string& path) {
  const int i = FindRecent(list, path);
  if (i >= 0) RemoveRecent(list, static_cast<size_t>(i));
}

int FindRecent(const std::vector<RecentEntry>& list, const std::string& path) {
  for (size_t i = 0; i < list.size(); ++i)
    if (!list[i].path.empty() && list[i].path == path) return static_cast<int>(i);
  return -1;
}

void CompactRecent(std::vector<RecentEntry>& list) {
  std::set<std::string> seen;
  std::vector<RecentEntry> kept;
  for (const RecentEntry& e : list)
    if (!e.path.empty() && seen.insert(e.path).second) kept.push_back(e);
  kept.resize(list.size());
  list = std::move(kept);
}

RecentMenuPlan PlanRecentMenu(const std::vector<RecentEntry>& list, int maxLen, bool inSubMenu) {
  RecentMenuPlan plan;
  const int n = std::min(maxLen, static_cast<int>(list.size()));
  while (plan.count < n && !list[static_cast<size_t>(plan.count)].path.empty()) ++plan.count;
  plan.subMenu = inSubMenu && plan.count > 0;
  return plan;
}

std::string MenuCaptionOf(const std::string& shownName) {
  std::string out;
  for (char c : shownName) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

}  // namespace prambus
