#include "platform/services.h"

namespace prambus {

PlatformServices& Services() {
  static PlatformServices services;
  return services;
}

void Beep() {
  if (Services().beep) Services().beep();
}

}  // namespace prambus
