#include "shell/flood_fill.h"

#include <utility>

namespace prambus {

void FloodFill(uint32_t* pixels, int width, int height, int stride, int seedX, int seedY,
               uint32_t colour) {
  if (seedX < 0 || seedY < 0 || seedX >= width || seedY >= height) return;
  const uint32_t target = pixels[seedY * stride + seedX];
  if (target == colour) return;
  // Row spans from a stack of seeds: memory grows with the area's outline,
  // never with recursion depth.
  std::vector<std::pair<int, int>> seeds = {{seedX, seedY}};
  while (!seeds.empty()) {
    auto [x, y] = seeds.back();
    seeds.pop_back();
    uint32_t* row = pixels + static_cast<long>(y) * stride;
    if (row[x] != target) continue;
    int left = x, right = x;
    while (left > 0 && row[left - 1] == target) --left;
    while (right + 1 < width && row[right + 1] == target) ++right;
    for (int i = left; i <= right; ++i) row[i] = colour;
    for (int ny : {y - 1, y + 1}) {
      if (ny < 0 || ny >= height) continue;
      const uint32_t* next = pixels + static_cast<long>(ny) * stride;
      for (int i = left; i <= right; ++i)
        if (next[i] == target && (i == left || next[i - 1] != target)) seeds.push_back({i, ny});
    }
  }
}

}  // namespace prambus
