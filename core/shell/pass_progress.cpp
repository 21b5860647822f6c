#include "shell/pass_progress.h"

#include <algorithm>

namespace prambus {

bool PassShowsProgress(int64_t total, int64_t elapsedMs) {
  return total >= kPassLargeRegionBytes || elapsedMs >= kPassQuietMs;
}

std::string ReplaceProgressText(int64_t done, int64_t total) {
  if (done >= total) return "Замена…";
  const int64_t percent = std::clamp<int64_t>(done * 100 / std::max<int64_t>(total, 1), 0, 99);
  return "Замена… " + std::to_string(percent) + "%  (Esc — остановить)";
}

}  // namespace prambus
