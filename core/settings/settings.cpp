#include "settings/settings.h"

namespace prambus {

Settings& Cfg() {
  static Settings settings;
  return settings;
}

}  // namespace prambus
