#include "settings/settings.h"

namespace prambus {

Settings& Cfg() {
  static Settings settings;
  return settings;
}

int ShagInEffect() {
  const int shag = Cfg().Shag;
  return shag < 1 ? 1 : shag > (1 << 20) ? (1 << 20) : shag;
}

}  // namespace prambus
