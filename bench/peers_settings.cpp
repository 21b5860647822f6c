// Writes a data.dat of the default settings in which files open in the hex
// view, for bench/peers to open the random bytes there as a user who chose
// the hex view would:
//   peers_settings FILE
#include <cstdio>

#include "settings/data_file.h"
#include "settings/settings.h"
#include "settings/stored_state.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: peers_settings FILE\n");
    return 2;
  }
  prambus::StoredState state;
  state.defaults.viewKind = 2;
  return prambus::WriteDataFile(argv[1], state, prambus::Settings{}) ? 0 : 1;
}
