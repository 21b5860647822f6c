// Arbitrary bytes as data.dat: loading never crashes nor allocates absurd
// memory, and whatever it reads writes back and reads again unchanged.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/data_file.h"

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
  if (!WriteDataFile(path, st, s)) std::abort();
  StoredState again;
  Settings s2;
  if (!ReadDataFile(path, again, s2)) std::abort();
  if (!(again == st)) std::abort();
  return 0;
}
