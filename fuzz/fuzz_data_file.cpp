// Arbitrary bytes as data.dat: loading never crashes nor allocates absurd
// memory, whatever it reads writes back and reads again unchanged, and every
// window it restores fits the screen with part of it on the screen.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/data_file.h"
#include "settings/stored_bounds.h"

using namespace prambus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    // Writing flushes the file to disk: in memory (/dev/shm) that costs
    // nothing, on a disk it would make every run wait.
    char shm[] = "/dev/shm/fuzzdataXXXXXX", tmp[] = "/tmp/fuzzdataXXXXXX";
    const char* dir = mkdtemp(shm);
    if (!dir) dir = mkdtemp(tmp);
    return std::string(dir ? dir : "/tmp") + "/data.dat";
  }();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  StoredState st;
  Settings s;
  if (!ReadDataFile(path, st, s)) return 0;
  std::vector<WindowAppearance> windows = st.pinned;
  windows.push_back(st.defaults);
  for (const WindowAppearance& w : windows) {
    const WindowBounds screen{-1280, 100, 1280, 1024};
    const WindowBounds b = RestoreWindowBounds(w, screen, s.MinRestoredWidth, s.MinRestoredHeight);
    if (b.width < 1 || b.width > screen.width || b.height < 1 || b.height > screen.height)
      std::abort();
    if (int64_t{b.left} + b.width <= screen.left || b.left >= screen.left + screen.width ||
        int64_t{b.top} + b.height <= screen.top || b.top >= screen.top + screen.height)
      std::abort();
  }
  if (st.surfaceFont.height == 0 || std::abs(st.surfaceFont.height) > kMaxFontHeight) std::abort();
  if (!WriteDataFile(path, st, s)) std::abort();
  StoredState again;
  Settings s2;
  if (!ReadDataFile(path, again, s2)) std::abort();
  if (!(again == st)) std::abort();
  return 0;
}
